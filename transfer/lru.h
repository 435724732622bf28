// The LRU list's maintenance and the swap-out of the least recently written
// device file into the swap folder.
#ifndef QUILLET_TRANSFER_LRU_H
#define QUILLET_TRANSFER_LRU_H

#include <stdint.h>

#include <functional>
#include <map>
#include <string>

void MarkRecentlyUsed(const std::string& name);
// A file renamed on the device keeps its place under its new name; a file
// of that name it replaced leaves the list.
void RenameRecentlyUsed(const std::string& oldName, const std::string& newName);
// The device files' sizes by name: as the last listing gave them, and as
// written since. A swapped-out copy must have its file's.
using DeviceSizes = std::map<std::string, int64_t>;

// Brings the list in line with the device's listing, whose sizes go to
// sizes when it is given.
bool ReconcileLruList(DeviceSizes* sizes = nullptr);
// Moves one file off the device into the swap folder; folderOpened is the
// per-transfer flag that keeps the folder from opening twice. The device
// file is deleted only once its copy is in the folder at the size in sizes.
// writing is the host file the room is made for: it is never copied over.
// moving, if given, hears the name of the device file about to be moved.
bool SwapOutOne(bool& folderOpened, const DeviceSizes& sizes, const std::string& writing = std::string(),
                const std::function<void(const std::string& name)>& moving = nullptr);

#endif
