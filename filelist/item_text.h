// The list box's items: each shows its directory entry as "%6d %s" (size
// and name), in the fixed order (startup.pex first, then names by unsigned
// byte value).
#ifndef QUILLET_FILELIST_ITEM_TEXT_H
#define QUILLET_FILELIST_ITEM_TEXT_H

#include <string>

#include "app/path_list.h"
#include "device/directory.h"

std::string ItemText(const DirEntry& entry);
// True when name sorts after other in the list's byte order.
bool NameGreater(const std::string& name, const std::string& other);
// Whether a dropped or written host path names this device file.
bool PathSelectsName(const PathList& paths, const std::string& name);

#endif
