// Renaming a device file, which the device's library cannot do: the file is
// read into a private file, written under the new name, the directory read
// to see the new file listed at the old one's size, and only then is the old
// name deleted, all in one connection. No failure loses the file: until the
// last step the old name is untouched.
#ifndef QUILLET_FILELIST_RENAME_H
#define QUILLET_FILELIST_RENAME_H

#include <string>

#include "filelist/file_list.h"

enum class NewName { kRefused, kUnchanged, kGood };

// The name typed (host text) against the old name as the dialog showed it
// (host text): unchanged when the text is as shown, whichever of two codes
// of one character the old name has, or when it is the old name once
// lowered. Otherwise it is lowered into *newName, as device text, as every
// written name is; refused when code page 932 cannot hold it, when it is
// empty, has a blank, is longer than a device name, or cannot be a file's
// name on the PC (nul.sav, a?b, a trailing dot, a folder part).
NewName CheckNewName(const std::string& typed, const std::string& shown, const std::string& oldName,
                     std::string* newName);

// The box a refused name shows; the rename dialog stays open under it.
extern const char kNameRefused[];

// Renames oldName to newName (checked), asking first where startup.pex or a
// file of the new name is met; the list is read again with the new name
// selected.
void RenameFile(ListControl& list, const std::string& oldName, const std::string& newName);

#endif
