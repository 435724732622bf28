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

// The file of an item text, its host path relative: the whole device name
// as host text, or only its file-name part when flat. False when the name
// leads out of the folder, has no host form, or is one that the host's file
// system takes for one of taken.
bool FileOfItem(const std::string& itemText, bool flat, const std::vector<std::string>& taken, FileToSave* file);

// The files of these item texts below folder (which ends in a separator),
// each under its whole device name: a folder part of it is a folder below.
// False, with the box shown and nothing read, when a name cannot be a file
// there (it leads out of the folder, or the file system takes two for one).
bool FilesBelow(const std::vector<std::string>& itemTexts, const std::string& folder,
                std::vector<FileToSave>* files);

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
