#include "filelist/drop_list.h"

#include <string.h>

size_t DropListSize(const std::vector<std::string>& paths) {
  size_t size = kDropListHeaderSize;
  for (const std::string& path : paths) size += path.size() + 1;
  return size + 1;
}

void WriteDropList(const std::vector<std::string>& paths, uint8_t* memory) {
  memset(memory, 0, kDropListHeaderSize);
  memory[0] = static_cast<uint8_t>(kDropListHeaderSize);   // little-endian 20
  uint8_t* out = memory + kDropListHeaderSize;
  for (const std::string& path : paths) {
    memcpy(out, path.data(), path.size());
    out += path.size();
    *out++ = 0;
  }
  *out = 0;
}

std::vector<uint8_t> BuildDropList(const std::vector<std::string>& paths) {
  std::vector<uint8_t> block(DropListSize(paths));
  WriteDropList(paths, block.data());
  return block;
}
