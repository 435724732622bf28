// Byte layouts the program builds: the file-drop list, the beep's sound
// block, and the PAUSE word's blink. (The launcher image is the device
// test's.)
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "device/beep_block.h"
#include "readout/drop_list.h"
#include "pause/pause_blink.h"
#include "tests/support/fakes.h"

std::vector<uint8_t> GeneratedLauncher() {
  std::ifstream in(QUILLET_LAUNCHER_IMAGE, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(Layout, DropList) {
  FakePlatform platform;   // whose system code page is 932
  const std::string header = std::string("\x14", 1) + std::string(19, '\0');
  EXPECT_EQ(header + "C:\\T\\a.pex" + '\0' + "C:\\T\\bb" + '\0' + '\0', Bytes(BuildDropList({"C:\\T\\a.pex", "C:\\T\\bb"})));
  // A name code page 932 cannot hold makes every path UTF-16.
  std::string wide = header, utf16 = std::string("\xE9\0\0\0C\0:\0\\\0a\0\0\0\0\0", 16);
  wide[16] = 1;
  EXPECT_EQ(wide + utf16, Bytes(BuildDropList({u8"\u00e9", "C:\\a"})));
}

TEST(Layout, SoundBlockAndBlink) {
  EXPECT_EQ(7372u, SoundBlockAddress(8192));
  EXPECT_EQ(7372u, SoundBlockAddress(8195));
  const std::vector<uint8_t> block = BuildSoundBlock(7372);
  ASSERT_EQ(820u, block.size());
  const uint8_t head[] = {0, 0, 0, 0, 0xE0, 0x1C, 0, 0, 0x20, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          254, 253, 253, 253, 253, 253, 253, 252, 252, 252, 2, 2, 2, 3, 3, 3, 3, 3, 3, 4, 250};
  EXPECT_EQ(Bytes(std::vector<uint8_t>(head, head + sizeof head)), Bytes(block).substr(0, sizeof head));
  EXPECT_EQ(std::string(6, '\x7f'), Bytes(block).substr(814));

  std::string blink;
  for (int tick = 0; tick < 9; ++tick) {
    const char* t = PauseTextAtTick(tick);
    blink += !t ? '-' : *t ? 'P' : ' ';
  }
  EXPECT_EQ("P-- P-- P", blink);
  EXPECT_STREQ(text::kPauseWord, PauseWord());
}

}  // namespace
