// The file-drop list offered to the drop target of a read-out drag: the
// 20-byte header (path list offset 20, drop point 0,0, client area, and
// whether the paths are wide) followed by each path and a zero, and one more
// zero. The paths are 8-bit, in the system's ANSI code page, where every one
// can be said so; otherwise all are UTF-16, so the target gets the real names.
#ifndef QUILLET_READOUT_DROP_LIST_H
#define QUILLET_READOUT_DROP_LIST_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

constexpr size_t kDropListHeaderSize = 20;

// The block for these host paths (UTF-8); wide: UTF-16 whatever they are.
std::vector<uint8_t> BuildDropList(const std::vector<std::string>& paths, bool wide = false);

#endif
