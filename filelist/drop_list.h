// The file-drop list offered to the drop target of a read-out drag: the
// 20-byte header (path list offset 20, drop point 0,0, client area, 8-bit
// paths) followed by each path and a zero byte, and one more zero byte.
#ifndef QUILLET_FILELIST_DROP_LIST_H
#define QUILLET_FILELIST_DROP_LIST_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

constexpr size_t kDropListHeaderSize = 20;

// The block's exact length for these paths.
size_t DropListSize(const std::vector<std::string>& paths);
// Writes the block into memory of DropListSize(paths) bytes.
void WriteDropList(const std::vector<std::string>& paths, uint8_t* memory);
// The block as bytes.
std::vector<uint8_t> BuildDropList(const std::vector<std::string>& paths);

#endif
