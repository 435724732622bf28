// Where device files go as host files: each under its whole device name,
// whose folder part is a folder below (a transfer list line keeps its
// folder part in the device name), or under its file-name part when flat,
// as for the copies the drag and the clipboard offer. A device program can
// give a file any name; not every one can be a file on the PC.
#ifndef QUILLET_READOUT_HOST_NAMES_H
#define QUILLET_READOUT_HOST_NAMES_H

#include <stdint.h>

#include <string>
#include <vector>

#include "device/directory.h"

struct FileToSave {
  std::string deviceName;   // device text
  std::string hostPath;     // host text
  uint64_t size;            // as the list gives it, for the progress
};

// The files of these entries below folder (which ends in a separator, or
// is empty for paths relative to where they will be), and the device names
// that cannot be files there: a name the host cannot store (nul.sav,
// q?x.dat, a trailing dot, a ".." part, a drive), the second of two that
// the host takes for one (or for a folder the other needs), and one that
// the host takes for one of reserved (the backup's own list). Names are
// judged by their characters: the second byte of ポ is '|'.
struct Placement {
  std::vector<FileToSave> files;
  std::vector<std::string> refused;
};
Placement PlaceFiles(const std::vector<DirEntry>& entries, const std::string& folder, bool flat,
                     const std::vector<std::string>& reserved = {});
// Says which names cannot be files on the PC; with ask, OK goes on without
// them and Cancel reads nothing (false). True when none were refused.
bool GoOnWithout(const std::vector<std::string>& refused, bool ask);

#endif
