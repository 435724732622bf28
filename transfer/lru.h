// The LRU list's maintenance and the swap-out of the least recently written
// device file into the swap folder.
#ifndef QUILLET_TRANSFER_LRU_H
#define QUILLET_TRANSFER_LRU_H

#include <string>

void MarkRecentlyUsed(const std::string& name);
bool ReconcileLruList();
// Moves one file off the device into the swap folder; folderOpened is the
// per-transfer flag that keeps the folder from opening twice. writing is the
// host file the room is made for: it is never copied over.
bool SwapOutOne(bool& folderOpened, const std::string& writing = std::string());

#endif
