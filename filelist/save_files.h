// Reading device files into host folders by command: the selected files
// saved to a folder, a backup of the whole device with a transfer list that
// writes it back, and the copies put on the clipboard. Each reads in one
// connection, with the progress of a long operation, and stops after the
// file in flight when asked. A file is read into a private file beside its
// target and replaces the target only when it is whole, so a failed read
// leaves neither half a file nor the loss of the user's old one.
#ifndef QUILLET_FILELIST_SAVE_FILES_H
#define QUILLET_FILELIST_SAVE_FILES_H

#include <stdint.h>

#include <string>
#include <vector>

#include "filelist/file_list.h"

struct FileToSave {
  std::string deviceName;   // device text
  std::string hostPath;     // host text
  uint64_t size;            // as the list gives it, for the progress
};

// The files of these item texts below folder (which ends in a separator,
// or is empty for paths relative to where they will be), each under its
// whole device name, whose folder part is a folder below, or under its
// file-name part when flat; and the device names that cannot be files
// there: a name the host cannot store (nul.sav, q?x.dat, a trailing dot, a
// ".." part, a drive), the second of two that the host takes for one (or
// for a folder the other needs), and one that the host takes for one of
// reserved (the backup's own list).
struct Placement {
  std::vector<FileToSave> files;
  std::vector<std::string> refused;
};
Placement PlaceFiles(const std::vector<std::string>& itemTexts, const std::string& folder, bool flat,
                     const std::vector<std::string>& reserved = {});
// Says which names cannot be files on the PC; with ask, OK goes on without
// them and Cancel reads nothing (false). True when none were refused.
bool GoOnWithout(const std::vector<std::string>& refused, bool ask);

enum class SaveEnd {
  kAll,            // every file was read
  kSkipped,        // some were skipped (No, Ignore)
  kStopped,        // Abort, Cancel or a stop ended the reading
  kNoConnection,
};
// Reads the files; ask: a file already there asks first (Yes replaces it, No
// skips it, Cancel ends). The indexes of the files read go to saved.
SaveEnd SaveFiles(const std::vector<FileToSave>& files, bool ask, std::vector<size_t>* saved);

// The selected items (at most 256, in list order) into folder.
void SaveSelectedFiles(ListControl& list, const std::string& folder);
// Every item into folder, then "backup.pfs" naming them, one per line.
void BackUpDevice(ListControl& list, const std::string& folder);
// The text of that transfer list.
std::string BackupListText(const std::vector<std::string>& deviceNames);

#endif
