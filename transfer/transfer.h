// Writing host files and .pfs transfer lists to the device, and checking
// what the writes left there.
#ifndef QUILLET_TRANSFER_TRANSFER_H
#define QUILLET_TRANSFER_TRANSFER_H

#include <stdint.h>

#include <string>
#include <vector>

#include "app/path_list.h"
#include "device/directory.h"

// A file written: under which device name, from which host file, and that
// file's size.
struct WrittenFile {
  std::string deviceName;   // device text
  std::string hostPath;     // host text
  uint64_t size = 0;
};

// Writes every path in order in one connection (after the LRU list has been
// brought in line with the device); reports its own failures, and at the
// end the files left out of several. With the verify setting each file is
// read back and compared. The files written.
std::vector<WrittenFile> TransferFiles(const PathList& paths);
// Writes these files again, each under its device name, as TransferFiles.
std::vector<WrittenFile> WriteAgain(const std::vector<WrittenFile>& files);

// The written files that a listing read after the writing shows smaller
// than their host files: the device stored them short.
std::vector<WrittenFile> ShortWrites(const std::vector<WrittenFile>& written, const std::vector<DirEntry>& listed);
// Names them and asks whether to write them again; true for Yes.
bool AskToWriteAgain(const std::vector<WrittenFile>& shortOnes);

#endif
