// Reading device files into host folders by command: the selected files
// saved to a folder, a backup of the whole device with a transfer list that
// writes it back, and the copies put on the clipboard. Each reads in one
// connection, with the progress of a long operation, and stops after the
// file in flight when asked. A file is read into a private file beside its
// target and replaces the target only when it is whole, so a failed read
// leaves neither half a file nor the loss of the user's old one.
#ifndef QUILLET_READOUT_SAVE_FILES_H
#define QUILLET_READOUT_SAVE_FILES_H

#include <string>
#include <vector>

#include "device/directory.h"
#include "readout/host_names.h"

enum class SaveEnd {
  kAll,            // every file was read
  kSkipped,        // some were skipped (No, Ignore)
  kStopped,        // Abort, Cancel or a stop ended the reading
  kNoConnection,
};
// Reads the files; ask: a file already there asks first (Yes replaces it, No
// skips it, Cancel ends). The indexes of the files read go to saved. Files
// skipped or failed are named at the end, after "N件中M件を" and did.
SaveEnd SaveFiles(const std::vector<FileToSave>& files, bool ask, const char* did, std::vector<size_t>* saved);

// These files (the selected ones) into folder, which ends in a separator.
void SaveToFolder(const std::vector<DirEntry>& entries, const std::string& folder);
// Every file of the device into folder, then "backup.pfs" naming them, one
// per line.
void BackUpDevice(const std::vector<DirEntry>& entries, const std::string& folder);
// The text of that transfer list.
std::string BackupListText(const std::vector<std::string>& deviceNames);

#endif
