// The LRU list's maintenance and the swap-out of the least recently written
// device file into the swap folder.
#ifndef QUILLET_TRANSFER_LRU_H
#define QUILLET_TRANSFER_LRU_H

#include <functional>
#include <string>

void MarkRecentlyUsed(const std::string& name);
// A file renamed on the device keeps its place under its new name; a file
// of that name it replaced leaves the list.
void RenameRecentlyUsed(const std::string& oldName, const std::string& newName);
bool ReconcileLruList();
// Moves one file off the device into the swap folder; folderOpened is the
// per-transfer flag that keeps the folder from opening twice. writing is the
// host file the room is made for: it is never copied over. moving, if given,
// hears the name of the device file about to be moved.
bool SwapOutOne(bool& folderOpened, const std::string& writing = std::string(),
                const std::function<void(const std::string& name)>& moving = nullptr);

#endif
