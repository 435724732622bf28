// Writing host files and .pfs transfer lists to the device.
#ifndef QUILLET_TRANSFER_TRANSFER_H
#define QUILLET_TRANSFER_TRANSFER_H

#include "app/path_list.h"

// Writes every path in order in one connection (after the LRU list has been
// brought in line with the device); reports its own failures.
void TransferFiles(const PathList& paths);

#endif
