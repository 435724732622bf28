#include "readout/drop_list.h"

#include "app/path_util.h"
#include "app/platform.h"

std::vector<uint8_t> BuildDropList(const std::vector<std::string>& paths, bool wide) {
  std::vector<std::string> ansi(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) wide = wide || !ThePlatform().LibraryPath(paths[i], &ansi[i]);
  std::vector<uint8_t> block(kDropListHeaderSize, 0);
  block[0] = static_cast<uint8_t>(kDropListHeaderSize);   // little-endian 20
  block[16] = wide;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!wide) {
      block.insert(block.end(), ansi[i].begin(), ansi[i].end());
      block.push_back(0);
      continue;
    }
    for (char16_t c : Utf16(paths[i])) block.push_back(static_cast<uint8_t>(c)), block.push_back(static_cast<uint8_t>(c >> 8));
    block.insert(block.end(), 2, 0);
  }
  block.insert(block.end(), wide ? 2 : 1, 0);
  return block;
}
