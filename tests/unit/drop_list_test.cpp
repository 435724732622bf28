// The file-drop list handed to the drop target, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filelist/drop_list.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(DropListTest, HeaderPathsAndFinalZero) {
  const std::vector<std::string> paths = {"C:\\T\\a.pex", "C:\\T\\bb.txt"};
  std::vector<uint8_t> expected = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const auto& p : paths) {
    auto b = Bytes(p);
    expected.insert(expected.end(), b.begin(), b.end());
    expected.push_back(0);
  }
  expected.push_back(0);
  EXPECT_EQ(expected, BuildDropList(paths));
  EXPECT_EQ(20u + 11 + 12 + 1, DropListSize(paths));
}

TEST(DropListTest, DoubleByteNamesAreCopiedAsTheyAre) {
  // "ソ" ends in 0x5C in code page 932; the path keeps it untouched.
  const std::string path = "C:\\T\\ソ.pex";
  std::vector<uint8_t> block = BuildDropList({path});
  ASSERT_EQ(20 + path.size() + 2, block.size());
  EXPECT_EQ(Bytes(path), std::vector<uint8_t>(block.begin() + 20, block.begin() + 20 + path.size()));
  EXPECT_EQ(0x5C, block[20 + 6]);
  EXPECT_EQ(0, block[block.size() - 2]);
  EXPECT_EQ(0, block.back());
}

TEST(DropListTest, WritesExactlyItsSize) {
  const std::vector<std::string> paths = {"x", "yz"};
  std::vector<uint8_t> memory(DropListSize(paths) + 4, 0xAA);
  WriteDropList(paths, memory.data());
  EXPECT_EQ(std::vector<uint8_t>(4, 0xAA), std::vector<uint8_t>(memory.end() - 4, memory.end()));
  EXPECT_EQ(BuildDropList(paths), std::vector<uint8_t>(memory.begin(), memory.end() - 4));
}

}  // namespace
