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

// The name typed, as device text (representable false when code page 932
// cannot hold it), checked and lowered into *newName as every written name
// is: refused when empty, with a blank, or longer than a device name.
NewName CheckNewName(bool representable, const std::string& typed, const std::string& oldName, std::string* newName);

// The box a refused name shows; the rename dialog stays open under it.
extern const char kNameRefused[];

// Renames oldName to newName (checked), asking first where startup.pex or a
// file of the new name is met; the list is read again with the new name
// selected.
void RenameFile(ListControl& list, const std::string& oldName, const std::string& newName);

#endif
