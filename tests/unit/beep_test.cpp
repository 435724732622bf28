// The device beep: the block address and the sound block's bytes, and the
// handshake with the simulated device on every branch. No branch ever shows
// a message, and device memory always ends as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "device/beep.h"
#include "device/beep_block.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"

namespace {

TEST(SoundBlockTest, AddressIsBelowTheTopOnAMultipleOfFour) {
  EXPECT_EQ(7372u, SoundBlockAddress(8192));
  EXPECT_EQ(7372u, SoundBlockAddress(8195));
  EXPECT_EQ(7376u, SoundBlockAddress(8196));
  EXPECT_EQ(0x13DCCCu, SoundBlockAddress(0x13E000));
}

TEST(SoundBlockTest, HeaderAndSamples) {
  std::vector<uint8_t> block = BuildSoundBlock(7372);
  ASSERT_EQ(820u, block.size());
  const std::vector<uint8_t> header = {0x00, 0x00, 0x00, 0x00, 0xE0, 0x1C, 0x00, 0x00, 0x20, 0x03,
                                       0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(header, std::vector<uint8_t>(block.begin(), block.begin() + 20));
  EXPECT_EQ(254, block[20]);
  EXPECT_EQ(2, block[30]);
  EXPECT_EQ(127, block[819]);

  const std::vector<uint8_t> first = {254, 253, 253, 253, 253, 253, 253, 252, 252, 252,
                                      2,   2,   2,   3,   3,   3,   3,   3,   3,   4,   250};
  EXPECT_EQ(first, std::vector<uint8_t>(block.begin() + 20, block.begin() + 41));
  // The swing has died out for the last six samples only.
  EXPECT_EQ(std::vector<uint8_t>(6, 127), std::vector<uint8_t>(block.end() - 6, block.end()));
  EXPECT_NE(127, block[20 + 793]);
  // A square wave around 127: ten samples above, ten below.
  for (int i = 0; i < 790; ++i)
    EXPECT_EQ((i / 10) % 2 == 0, block[20 + i] > 127) << "sample " << i;
}

class BeepTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    AppSettings.beep = true;
    address = SoundBlockAddress(piecesim::kDefaultMemoryTop);
    for (size_t i = 0; i < 820; ++i) original += static_cast<char>(i * 7 + 3);
    piecesim::WriteMemory(0, address, original);
    piecesim::ClearCallLog();
  }
  void TearDown() override {
    EXPECT_TRUE(platform.shown.empty()) << "the beep never shows a message";
    EXPECT_EQ(original, piecesim::ReadMemory(0, address, 820)) << "memory not as it was";
    SimTest::TearDown();
  }
  std::vector<std::string> MemoryCalls() { return Calls({"ismReadMem", "ismWriteMem"}); }
  // The last two calls are the resume command and the disconnect.
  bool Resumed() {
    auto calls = Calls();
    return calls.size() >= 2 && calls[calls.size() - 2] == "ismCmdW(10 00, 2, 0, 0) = 0" &&
           calls.back() == "ismExit() = 0";
  }

  uint32_t address = 0;
  std::string original;
};

TEST_F(BeepTest, PlaysTheBlockAndPutsTheMemoryBack) {
  piecesim::SetState(0, "playreads", "0");   // done by the first channel read
  BeepDevice();
  EXPECT_EQ((std::vector<std::string>{
                "ismExit() = 0", "ismInitEx(0, 0) = 0", "ismGetVersion(1) = 0",
                "ismCmdW(10 01, 2, 0, 0) = 0", "ismCmdR(11, 1, 12) = 0",
                "ismReadMem(0x0013dccc, 820) = 0", "ismWriteMem(0x0013dccc, 820) = 0",
                "ismCmdW(07 03 cc dc 13 00, 6, 0, 0) = 0", "ismCmdR(06 03, 2, 2) = 0",
                "ismWriteMem(0x0013dccc, 820) = 0", "ismCmdW(10 00, 2, 0, 0) = 0", "ismExit() = 0"}),
            Calls());
  EXPECT_EQ("800", piecesim::GetState(0, "played"));
  EXPECT_EQ("0", piecesim::GetState(0, "paused"));
  // The play wait starts with one 50 ms sleep.
  ASSERT_FALSE(platform.sleeps.empty());
  EXPECT_EQ(50u, platform.sleeps.front());
}

TEST_F(BeepTest, PollsWhilePlaying) {
  piecesim::SetState(0, "playreads", "3");
  BeepDevice();
  EXPECT_EQ(5u, Calls({"ismCmdR"}).size());   // the status, three busy reads, then 0
  EXPECT_EQ((std::vector<uint32_t>{50, 10, 10, 10}), platform.sleeps);
  EXPECT_TRUE(Resumed());
}

TEST_F(BeepTest, OffMeansNoTraffic) {
  AppSettings.beep = false;
  BeepDevice();
  EXPECT_TRUE(Calls().empty());
}

TEST_F(BeepTest, StoppedStateIsTheLowTwoBits) {
  piecesim::SetState(0, "stoppedstate", "5");
  BeepDevice();
  EXPECT_EQ("800", piecesim::GetState(0, "played"));

  for (const char* state : {"3", "2"}) {
    piecesim::ClearCallLog();
    piecesim::SetState(0, "played", "0");
    piecesim::SetState(0, "stoppedstate", state);
    platform.now = 0;
    BeepDevice();
    EXPECT_TRUE(MemoryCalls().empty()) << state;
    EXPECT_EQ("0", piecesim::GetState(0, "played")) << state;
    EXPECT_GE(platform.now, 1000u) << state;
    EXPECT_TRUE(Resumed()) << state;
  }
}

TEST_F(BeepTest, DeviceThatNeverStopsIsResumedUntouched) {
  piecesim::SetState(0, "neverstops", "1");
  BeepDevice();
  EXPECT_TRUE(MemoryCalls().empty());
  EXPECT_GE(platform.now, 1000u);
  EXPECT_LT(platform.now, 1100u);
  EXPECT_TRUE(Resumed());
}

TEST_F(BeepTest, ChannelThatNeverEndsGetsItsBytesBack) {
  piecesim::SetState(0, "channelbusy", "1");
  BeepDevice();
  EXPECT_EQ((std::vector<std::string>{"ismReadMem(0x0013dccc, 820) = 0",
                                      "ismWriteMem(0x0013dccc, 820) = 0",
                                      "ismWriteMem(0x0013dccc, 820) = 0"}),
            MemoryCalls());
  EXPECT_GE(platform.now, 1050u);
  EXPECT_TRUE(Resumed());
}

TEST_F(BeepTest, FailuresTakeTheShortestWayBack) {
  struct Case {
    const char* function;
    int nth;
    std::vector<std::string> memoryCalls;
    bool resumed;
  };
  const std::string read = "ismReadMem(0x0013dccc, 820)";
  const std::string write = "ismWriteMem(0x0013dccc, 820)";
  const std::vector<Case> cases = {
      {"ismGetVersion", 0, {}, false},
      {"ismCmdW", 1, {}, false},                               // pause refused
      {"ismCmdR", 1, {}, true},                                // status query fails
      {"ismReadMem", 0, {read + " = 9"}, true},                // nothing written
      {"ismWriteMem", 1, {read + " = 0", write + " = 9", write + " = 0"}, true},
      {"ismCmdW", 2, {read + " = 0", write + " = 0", write + " = 0"}, true},   // play refused
      {"ismCmdR", 2, {read + " = 0", write + " = 0", write + " = 0"}, true},   // channel read fails
  };
  for (const Case& c : cases) {
    piecesim::ClearFaults();
    piecesim::ClearCallLog();
    piecesim::InjectFault(c.function, c.nth, 9);
    BeepDevice();
    EXPECT_EQ(c.memoryCalls, MemoryCalls()) << c.function << " " << c.nth;
    EXPECT_EQ(c.resumed, Resumed()) << c.function << " " << c.nth;
    EXPECT_EQ("ismExit", CallNames().back()) << c.function << " " << c.nth;
    EXPECT_EQ(0, piecesim::OpenConnections());
  }
  piecesim::ClearFaults();
  piecesim::ClearCallLog();
  piecesim::RemoveDevice(0);
  BeepDevice();
  EXPECT_EQ((std::vector<std::string>{"ismExit", "ismInitEx"}), CallNames());
  piecesim::CreateDevice(0);
  piecesim::WriteMemory(0, address, original);
}

}  // namespace
