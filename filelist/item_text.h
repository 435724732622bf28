// The list box items: "%6d %s" texts, the name read back with "%*d%s", and
// the fixed order (startup.pex first, then names by unsigned byte value).
#ifndef QUILLET_FILELIST_ITEM_TEXT_H
#define QUILLET_FILELIST_ITEM_TEXT_H

#include <string>
#include <vector>

#include "app/path_list.h"
#include "filelist/directory.h"

std::string FormatItemText(const DirEntry& entry);
// The name of an item text; false when the text gives none.
bool NameFromItemText(const std::string& text, std::string* name);

// True when name sorts after other in the list's byte order.
bool NameGreater(const std::string& name, const std::string& other);
// Whether a dropped or written host path names this device file.
bool PathSelectsName(const PathList& paths, const std::string& name);

#endif
