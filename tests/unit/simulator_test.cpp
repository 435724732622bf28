// The simulated P/ECE: the behaviour the program's tests build on.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "device/pieceif.h"
#include "stand-ins/pieceif/sim_store.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/fake_platform.h"

using namespace piecesim;

namespace {

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHome(home.path());
    ResetAll();
    CreateDevice(0);
  }
  void TearDown() override { ismExit(); }

  void Connect(int index = 0) { ASSERT_EQ(0, ismInitEx(index, 0)); }

  // The directory text as the program receives it.
  std::string Dir(int32_t* status = nullptr) {
    std::vector<char> buffer(8192, '#');
    int32_t s = ismPFFSDir(buffer.data(), 8192, 0);
    if (status) *status = s;
    return s == 0 ? std::string(buffer.data()) : std::string();
  }

  int32_t Write(const std::string& name, const std::string& bytes) {
    host.Write("in", bytes);
    return ismPFFSWrite(name.c_str(), host.File("in").c_str());
  }

  std::string Flash(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(GetFile(0, name, &bytes)) << name;
    return bytes;
  }

  int32_t ChannelRead(uint8_t channel, int16_t* value) {
    unsigned char buffer[2] = {0x06, channel};
    int32_t status = ismCmdR(buffer, 2, buffer, 2);
    *value = static_cast<int16_t>(buffer[0] | (buffer[1] << 8));
    return status;
  }

  int32_t ChannelWrite(uint8_t channel, uint32_t value) {
    unsigned char command[6] = {0x07, channel, static_cast<unsigned char>(value),
                                static_cast<unsigned char>(value >> 8),
                                static_cast<unsigned char>(value >> 16),
                                static_cast<unsigned char>(value >> 24)};
    return ismCmdW(command, 6, nullptr, 0);
  }

  int32_t Pause(uint8_t flag) {
    unsigned char command[2] = {0x10, flag};
    return ismCmdW(command, 2, nullptr, 0);
  }

  TempDir home;
  TempDir host;
};

std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

TEST_F(SimulatorTest, DirectoryListsFilesInDeviceOrderWithFreeSpace) {
  CreateDevice(0, 1000);
  PutFile(0, "startup.pex", std::string(100, 'x'));
  PutFile(0, "a.pex", std::string(20, 'y'));
  Connect();
  EXPECT_EQ("+0:100 startup.pex\n+1:20 a.pex\n880 bytes free\n", Dir());
  // Files changed between calls are seen by the next call.
  PutFile(0, "b.dat", "");
  EXPECT_EQ("+0:100 startup.pex\n+1:20 a.pex\n+2:0 b.dat\n880 bytes free\n", Dir());

  EXPECT_EQ(0, ismPFFSDelete("a.pex"));
  EXPECT_EQ("+0:100 startup.pex\n+1:0 b.dat\n900 bytes free\n", Dir());
  EXPECT_EQ(kStatusNoFile, ismPFFSDelete("a.pex"));
}

TEST_F(SimulatorTest, WritesReplaceInPlaceAndAppendNewFiles) {
  Connect();
  ASSERT_EQ(0, Write("one", "1"));
  ASSERT_EQ(0, Write("two", "22"));
  ASSERT_EQ(0, Write("one", "111"));
  EXPECT_EQ((std::vector<std::string>{"one", "two"}), ListFiles(0));
  EXPECT_EQ("111", Flash("one"));
  // Names are compared byte for byte: a different case is another file.
  ASSERT_EQ(0, Write("ONE", "9"));
  EXPECT_EQ((std::vector<std::string>{"one", "two", "ONE"}), ListFiles(0));
}

TEST_F(SimulatorTest, FullFlashRefusesTheWriteAndKeepsEverything) {
  CreateDevice(0, 100);
  Connect();
  ASSERT_EQ(0, Write("a", std::string(60, 'a')));
  ASSERT_EQ(0, Write("b", std::string(30, 'b')));
  std::string before = Dir();

  EXPECT_EQ(kPieceFlashFull, Write("c", std::string(11, 'c')));
  EXPECT_EQ(kPieceFlashFull, Write("b", std::string(41, 'B')));
  EXPECT_EQ(before, Dir());
  EXPECT_EQ(std::string(30, 'b'), Flash("b"));
  EXPECT_FALSE(HasFile(0, "c"));

  // A replacement only needs room for its new size; exactly full is allowed.
  EXPECT_EQ(0, Write("b", std::string(40, 'B')));
  EXPECT_EQ("+0:60 a\n+1:40 b\n0 bytes free\n", Dir());
}

TEST_F(SimulatorTest, RefusesNamesTheDeviceCannotHold) {
  Connect();
  for (const std::string& name :
       {std::string(32, 'n'), std::string(), std::string("a b"), std::string("a\tb"),
        std::string("a\x7f"), std::string("\x01")})
    EXPECT_EQ(kStatusBadArgument, Write(name, "x")) << name.size();
  EXPECT_EQ(0, Write(std::string(31, 'n'), "x"));
  EXPECT_EQ(1u, ListFiles(0).size());
}

TEST_F(SimulatorTest, HostFilesFailWithTheirOwnStatus) {
  Connect();
  EXPECT_EQ(kStatusHostFile, ismPFFSWrite("x", host.File("missing").c_str()));
  ASSERT_EQ(0, Write("x", "abc"));
  EXPECT_EQ(kStatusHostFile, ismPFFSRead("x", host.File("no/such/folder").c_str()));
  EXPECT_EQ(kStatusNoFile, ismPFFSRead("y", host.File("out").c_str()));
}

TEST_F(SimulatorTest, OddNamesRoundTripThroughTheHostFolder) {
  // Code page 932 names (ソ ends in a '\\' byte), capitals, a backslash, a DOS
  // device name and a trailing dot.
  const std::vector<std::string> names = {"ソフト.pex", "Game.PEX", "a\\b", "con.pex",
                                          "nul", "end.", "50%.txt"};
  std::string binary("\0\r\n\x1a\xff", 5);
  Connect();
  for (const auto& name : names) ASSERT_EQ(0, Write(name, binary + name)) << name;
  EXPECT_EQ(names, ListFiles(0));
  for (const auto& name : names) {
    std::string out = host.File("out");
    ASSERT_EQ(0, ismPFFSRead(name.c_str(), out.c_str())) << name;
    std::string bytes;
    ASSERT_TRUE(store::ReadHostFile(out, &bytes));
    EXPECT_EQ(binary + name, bytes);
  }
  for (const auto& file : store::ListFolder(store::FlashFolder(0))) {
    EXPECT_EQ(std::string::npos, file.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789._-%ABCDEF"))
        << file;
    EXPECT_NE('.', file.back()) << file;
    EXPECT_NE(0u, file.find("con.")) << file;
  }
}

TEST_F(SimulatorTest, FaultsHitTheNthCallOrEveryCallWithoutEffect) {
  InjectFault("ismPFFSWrite", 2, 77);
  Connect();
  EXPECT_EQ(0, Write("a", "1"));
  EXPECT_EQ(77, Write("b", "2"));
  EXPECT_EQ(0, Write("c", "3"));
  EXPECT_EQ((std::vector<std::string>{"a", "c"}), ListFiles(0));

  InjectFault("ismPFFSDelete", 0, 9);
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_TRUE(HasFile(0, "a"));

  // ismGetVersion only knows -1 as failure.
  InjectFault("ismGetVersion", 1, 5);
  unsigned char record[32];
  EXPECT_EQ(-1, ismGetVersion(record, 1));

  // Counting starts afresh after ClearFaults.
  ClearFaults();
  InjectFault("ismPFFSWrite", 1, 78);
  EXPECT_EQ(78, Write("d", "4"));
  EXPECT_EQ(0, Write("d", "4"));
}

TEST_F(SimulatorTest, FaultedInitOpensNothing) {
  InjectFault("ismInitEx", 1, 42);
  EXPECT_EQ(42, ismInitEx(0, 0));
  EXPECT_EQ(0, OpenConnections());
  EXPECT_EQ(kStatusNoConnection, ismPFFSDelete("x"));
  EXPECT_EQ(0, ismInitEx(0, 0));
  EXPECT_EQ(1, OpenConnections());
}

TEST_F(SimulatorTest, CallsNeedAnOpenConnectionToAPresentDevice) {
  EXPECT_EQ(0, ismExit()) << "closing nothing is harmless";
  EXPECT_EQ(kStatusNoDevice, ismInitEx(1, 0));
  EXPECT_EQ(0, OpenConnections());

  unsigned char cmd[12] = {0x11};
  char text[64];
  unsigned char record[32];
  auto expectAll = [&](int32_t status) {
    EXPECT_EQ(status, ismCmdW("\x10\x01", 2, nullptr, 0));
    EXPECT_EQ(status, ismCmdR(cmd, 1, cmd, 12));
    EXPECT_EQ(status, ismReadMem(record, kMemoryBase, 4));
    EXPECT_EQ(status, ismWriteMem(record, kMemoryBase, 4));
    EXPECT_EQ(status, ismAppStop());
    EXPECT_EQ(status, ismAppStart());
    EXPECT_EQ(status, ismPFFSDir(text, sizeof text, 0));
    EXPECT_EQ(status, ismPFFSRead("a", host.File("a").c_str()));
    EXPECT_EQ(status, ismPFFSWrite("a", host.File("a").c_str()));
    EXPECT_EQ(status, ismPFFSDelete("a"));
    EXPECT_EQ(-1, ismGetVersion(record, 1));
  };
  expectAll(kStatusNoConnection);

  Connect();
  EXPECT_EQ(1, OpenConnections());
  ASSERT_EQ(0, ismExit());
  EXPECT_EQ(0, OpenConnections());
  expectAll(kStatusNoConnection);

  // A device unplugged while connected.
  Connect();
  RemoveDevice(0);
  expectAll(kStatusNoDevice);
}

TEST_F(SimulatorTest, ConnectsToTheDeviceAskedFor) {
  CreateDevice(1);
  PutFile(1, "only-on-1", "x");
  Connect(1);
  EXPECT_EQ("+0:1 only-on-1\n262143 bytes free\n", Dir());
  Connect(0);
  EXPECT_EQ("262144 bytes free\n", Dir());
}

TEST_F(SimulatorTest, CallLogLinesHaveTheirFixedFormat) {
  PutFile(0, "game.pex", "x");
  ClearCallLog();
  Connect();
  unsigned char buffer[12] = {0x06, 0x03};
  char text[8192];
  ismCmdW("\x10\x01", 2, nullptr, 0);
  ismCmdR(buffer, 2, buffer, 2);
  ismReadMem(text, 0x13dccc, 820);
  ismWriteMem(text, 0x100000, 176);
  ismAppStop();
  ismAppStart();
  ismGetVersion(text, 1);
  ismPFFSDir(text, 8192, 0);
  ismPFFSRead("game.pex", host.File("game.pex").c_str());
  ismPFFSWrite("new", host.File("game.pex").c_str());
  ismPFFSDelete("nothing");
  ismExit();
  std::string out = host.File("game.pex");
  EXPECT_EQ((std::vector<std::string>{
                "ismInitEx(0, 0) = 0",
                "ismCmdW(10 01, 2, 0, 0) = 0",
                "ismCmdR(06 03, 2, 2) = 0",
                "ismReadMem(0x0013dccc, 820) = 0",
                "ismWriteMem(0x00100000, 176) = 0",
                "ismAppStop() = 0",
                "ismAppStart() = 0",
                "ismGetVersion(1) = 0",
                "ismPFFSDir(8192, 0) = 0",
                "ismPFFSRead(game.pex, " + out + ") = 0",
                "ismPFFSWrite(new, " + out + ") = 0",
                "ismPFFSDelete(nothing) = 4",
                "ismExit() = 0",
            }),
            CallLog());
}

TEST_F(SimulatorTest, PauseAndRunSetTheApplicationState) {
  Connect();
  unsigned char reply[12];
  auto state = [&]() {
    memset(reply, 0xee, sizeof reply);
    reply[0] = 0x11;
    EXPECT_EQ(0, ismCmdR(reply, 1, reply, 12));  // the reply overwrites the command
    return reply[0];
  };
  EXPECT_EQ(kStateRunning, state());
  EXPECT_EQ(std::string("\0\0\0\0\0\0\0", 7), std::string(reinterpret_cast<char*>(reply + 1), 7));
  EXPECT_EQ(Le32(kDefaultMemoryTop), std::string(reinterpret_cast<char*>(reply + 8), 4));

  EXPECT_EQ(0, Pause(1));
  EXPECT_EQ(kStateStopped, state());
  EXPECT_EQ("1", GetState(0, "paused"));
  EXPECT_EQ(0, Pause(0));
  EXPECT_EQ(kStateRunning, state());
  EXPECT_EQ("0", GetState(0, "paused"));

  SetState(0, "stoppedstate", "5");
  Pause(1);
  EXPECT_EQ(5, state());
  Pause(0);
  SetState(0, "neverstops", "1");
  Pause(1);
  EXPECT_EQ(kStateRunning, state());

  EXPECT_EQ(0, ismAppStop());
  EXPECT_EQ(5, state());
  SetState(0, "appstate", "129");
  EXPECT_EQ(129, state());
}

TEST_F(SimulatorTest, CommandsOfTheWrongShapeAreRefused) {
  Connect();
  unsigned char buffer[16] = {0x11};
  EXPECT_EQ(kStatusBadArgument, ismCmdR(buffer, 1, buffer, 11));
  EXPECT_EQ(kStatusBadArgument, ismCmdR(buffer, 2, buffer, 12));
  buffer[0] = 0x06;
  EXPECT_EQ(kStatusBadArgument, ismCmdR(buffer, 2, buffer, 4));
  EXPECT_EQ(kStatusBadArgument, ismCmdR(buffer, 1, buffer, 2));
  buffer[0] = 0x99;
  EXPECT_EQ(kStatusBadArgument, ismCmdR(buffer, 1, buffer, 12));
  EXPECT_EQ(kStatusBadArgument, ismCmdW(buffer, 2, nullptr, 0));
  EXPECT_EQ(kStatusBadArgument, ismCmdW("\x10\x01\x00", 3, nullptr, 0));
  EXPECT_EQ(kStatusBadArgument, ismCmdW("\x10\x02", 2, nullptr, 0));
  EXPECT_EQ(kStatusBadArgument, ismCmdW("\x07\x03\x00\x00\x10", 5, nullptr, 0));
  EXPECT_EQ("0", GetState(0, "paused"));
}

TEST_F(SimulatorTest, ChannelValuesReadBackAsSigned16Bits) {
  Connect();
  int16_t v = 0;
  ASSERT_EQ(0, ChannelWrite(5, 0x1234fffe));
  EXPECT_EQ(std::to_string(0x1234fffe), GetState(0, "chan5"));
  ASSERT_EQ(0, ChannelRead(5, &v));
  EXPECT_EQ(-2, v);
  ASSERT_EQ(0, ChannelRead(6, &v));
  EXPECT_EQ(0, v);
}

TEST_F(SimulatorTest, ChannelThreePlaysTheSoundBlockForSomeReads) {
  const uint32_t a = 0x13dccc;
  std::string block = Le32(0) + Le32(a + 20) + Le32(800) + Le32(0) + Le32(0);
  for (int i = 0; i < 800; ++i) block += static_cast<char>(i % 251);
  WriteMemory(0, a, block);
  SetState(0, "playreads", "3");
  Connect();
  int16_t v = 0;
  ASSERT_EQ(0, ChannelRead(3, &v));
  EXPECT_EQ(0, v) << "silent before anything plays";

  ASSERT_EQ(0, ChannelWrite(3, a));
  EXPECT_EQ("800", GetState(0, "played"));
  EXPECT_EQ(std::to_string(a), GetState(0, "playaddr"));
  EXPECT_EQ(block.substr(20), PlayedSamples(0));
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(0, ChannelRead(3, &v));
    EXPECT_NE(0, v) << i;
  }
  ASSERT_EQ(0, ChannelRead(3, &v));
  EXPECT_EQ(0, v);

  SetState(0, "channelbusy", "1");
  ASSERT_EQ(0, ChannelWrite(3, a));
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(0, ChannelRead(3, &v));
    EXPECT_NE(0, v) << i;
  }
  EXPECT_EQ("2", GetState(0, "plays"));
}

TEST_F(SimulatorTest, MemoryIsReadAndWrittenOnlyInsideItsRange) {
  Connect();
  char buffer[16] = "abcdefghijklmno";
  EXPECT_EQ(0, ismWriteMem(buffer, kMemoryEnd - 16, 16));
  EXPECT_EQ(std::string(buffer, 16), ReadMemory(0, kMemoryEnd - 16, 16));
  char back[16] = {};
  EXPECT_EQ(0, ismReadMem(back, kMemoryEnd - 16, 16));
  EXPECT_EQ(0, memcmp(buffer, back, 16));
  EXPECT_EQ(0, ismReadMem(back, kMemoryBase, 16));
  EXPECT_EQ(std::string(16, '\0'), std::string(back, 16));

  EXPECT_EQ(kStatusBadArgument, ismWriteMem(buffer, kMemoryEnd - 15, 16));
  EXPECT_EQ(kStatusBadArgument, ismWriteMem(buffer, kMemoryBase - 1, 2));
  EXPECT_EQ(kStatusBadArgument, ismReadMem(back, kMemoryEnd - 15, 16));
  EXPECT_EQ(kStatusBadArgument, ismReadMem(back, 0xfffffff0u, 0x20));
  EXPECT_EQ(kStatusBadArgument, ismReadMem(back, kMemoryBase, -1));
}

TEST_F(SimulatorTest, VersionRecordCarriesTheMemoryTop) {
  Connect();
  unsigned char record[32];
  memset(record, 0xee, sizeof record);
  EXPECT_EQ(0, ismGetVersion(record, 1));
  EXPECT_EQ(Le32(kDefaultMemoryTop), std::string(reinterpret_cast<char*>(record + 20), 4));
  SetState(0, "memtop", "8195");
  EXPECT_EQ(0, ismGetVersion(record, 1));
  EXPECT_EQ(Le32(8195), std::string(reinterpret_cast<char*>(record + 20), 4));
}

TEST_F(SimulatorTest, LauncherRunsTheProgramInItsNameField) {
  Connect();
  ASSERT_EQ(0, ismAppStop());
  ASSERT_EQ(0, ismAppStart());
  EXPECT_TRUE(Runs(0).empty()) << "no launcher in memory";
  EXPECT_EQ(std::to_string(kStateRunning), GetState(0, "appstate"));

  WriteMemory(0, kMemoryBase, std::string(kLauncherMagic, 16) + "code");
  WriteMemory(0, kLauncherNameAddress, std::string("game.pex") + std::string(24, '\0'));
  ASSERT_EQ(0, ismAppStart());
  WriteMemory(0, kLauncherNameAddress, std::string(31, 'n') + '\0');
  ASSERT_EQ(0, ismAppStart());
  EXPECT_EQ(std::string(31, 'n'), GetState(0, "lastrun"));
  EXPECT_EQ((std::vector<std::string>{"game.pex", std::string(31, 'n')}), Runs(0));
}

TEST_F(SimulatorTest, FixedDirectoryTextIsReturnedVerbatim) {
  Connect();
  SetDirText(0, "+x\r\nwhatever\n");
  EXPECT_EQ("+x\r\nwhatever\n", Dir());

  // Without a zero byte in the buffer's size the buffer is filled completely.
  SetDirText(0, std::string(9000, 'z'));
  std::vector<char> buffer(8200, '#');
  ASSERT_EQ(0, ismPFFSDir(buffer.data(), 8192, 0));
  EXPECT_EQ(std::string(8192, 'z'), std::string(buffer.data(), 8192));
  EXPECT_EQ('#', buffer[8192]);

  ClearDirText(0);
  EXPECT_EQ("262144 bytes free\n", Dir());
}

TEST_F(SimulatorTest, DirectoryTooLongForTheBufferIsAnError) {
  Connect();
  PutFile(0, "a", "1");
  std::string text = "+0:1 a\n262143 bytes free\n";
  std::vector<char> buffer(64, '#');
  EXPECT_EQ(kStatusTextTooLong, ismPFFSDir(buffer.data(), static_cast<int32_t>(text.size()), 0));
  EXPECT_EQ(0, ismPFFSDir(buffer.data(), static_cast<int32_t>(text.size() + 1), 0));
  EXPECT_EQ(text, std::string(buffer.data()));
}

TEST_F(SimulatorTest, ResetRemovesOnlyWhatTheSimulatorMade) {
  host.Write("keep", "mine");
  SetHome(host.path());
  CreateDevice(3);
  InjectFault("ismExit", 0, 1);
  ResetAll();
  EXPECT_FALSE(DeviceExists(3));
  EXPECT_EQ((std::vector<std::string>{"keep"}), store::ListFolder(host.path()));
}

}  // namespace
