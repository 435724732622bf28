// The device operations' library calls, call by call, on the simulated
// P/ECE: the connection and its fall-back, the command channel's wire
// formats, running a program and the beep's handshake. What each does when a
// call fails, the pause, and the beep's giving the memory back are the fault
// sweep's.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <map>

#include "app/settings_store.h"
#include "device/trace_log.h"
#include "device/beep.h"
#include "device/beep_block.h"
#include "device/connection.h"
#include "device/launcher.h"
#include "device/library_call.h"
#include "device/pieceif.h"
#include "device/pieceif_functions.h"
#include "tests/support/fakes.h"

std::vector<uint8_t> GeneratedLauncher();

namespace {

class DeviceTest : public SimTest {};

Strings Joined(Strings a, const Strings& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

// What the 13 functions bind to in a library with these exports: the
// index of the first one missing, and the names ismInitEx and ismPFFSDelete
// were found under.
TEST(Library, EachFunctionUnderTheFirstOfItsExportNames) {
  auto exports = [](const char* format, const char* except = "") {
    Strings names;
    for (const PieceFunction& f : kPieceFunctions) {
      char name[64];
      snprintf(name, sizeof name, format, f.name, f.argumentBytes);
      if (strcmp(f.name, except) != 0) names.push_back(name);
    }
    return names;
  };
  const struct { Strings exports; size_t missing; std::string initEx, remove; } rows[] = {
      {exports("%s"), kPieceFunctionCount, "ismInitEx", "ismPFFSDelete"},
      {exports("_%s@%u"), kPieceFunctionCount, "_ismInitEx@8", "_ismPFFSDelete@4"},
      {exports("%s@%u"), kPieceFunctionCount, "ismInitEx@8", "ismPFFSDelete@4"},
      {exports("_%s"), kPieceFunctionCount, "_ismInitEx", "_ismPFFSDelete"},
      {Joined(exports("_%s"), exports("%s")), kPieceFunctionCount, "ismInitEx", "ismPFFSDelete"},
      {Joined(exports("%s@%u"), exports("_%s@%u")), kPieceFunctionCount, "_ismInitEx@8", "_ismPFFSDelete@4"},
      {exports("%s", "ismPFFSDelete"), kIsmPFFSDelete, "ismInitEx", ""},
      {exports("_%s@1%u"), kIsmInitEx, "", ""},   // sizes that are not the arguments'
  };
  for (const auto& r : rows) {
    void* addresses[kPieceFunctionCount];
    std::string names[kPieceFunctionCount];
    auto find = [&](const char* name) -> void* {
      for (const std::string& e : r.exports)
        if (e == name) return const_cast<std::string*>(&e);
      return nullptr;
    };
    EXPECT_EQ(r.missing, BindPieceFunctions(find, addresses, names)) << r.exports[0];
    EXPECT_EQ(r.initEx + " " + r.remove, names[kIsmInitEx] + " " + names[kIsmPFFSDelete]) << r.exports[0];
    if (r.missing == kPieceFunctionCount) EXPECT_EQ(names[kIsmExit], *static_cast<std::string*>(addresses[kIsmExit]));
  }
}

TEST_F(DeviceTest, ConnectionAndCommands) {
  const struct { int devices, index, after; Strings log; } rows[] = {   // devices 0 to n-1
      {2, 1, 1, {"ismExit() = 0", "ismInitEx(1, 0) = 0"}},
      {1, 1, 0, {"ismExit() = 0", "ismInitEx(1, 0) = 6", "ismExit() = 0", "ismInitEx(0, 0) = 0"}},
      {0, 0, 0, {"ismExit() = 0", "ismInitEx(0, 0) = 6"}},
      {0, 3, 0, {"ismExit() = 0", "ismInitEx(3, 0) = 6", "ismExit() = 0", "ismInitEx(0, 0) = 6"}},
  };
  for (const auto& r : rows) {
    piecesim::ResetAll();
    for (int i = 0; i < r.devices; ++i) piecesim::CreateDevice(i);
    deviceIndex = r.index;
    EXPECT_EQ(r.devices > 0, ConnectDevice());
    EXPECT_EQ(r.after, deviceIndex);
    EXPECT_EQ(r.log, Calls());
  }
  piecesim::CreateDevice(0);
  for (auto [key, value] : {std::pair<const char*, const char*>{"chan5", "65534"}, {"appstate", "129"}, {"appvalue", "287454020"}})
    piecesim::SetState(0, key, value);   // appvalue: 0x11223344
  ASSERT_TRUE(ConnectDevice());
  piecesim::ClearCallLog();
  int32_t channel = 0;
  uint32_t state = 0, value = 0;
  EXPECT_EQ(0, QueryAppStatus(&state, &value) + SetAppPaused(1) + ReadChannelValue(0x105, &channel) +
                   WriteChannelValue(0x105, 0xA1B2C3D4));
  EXPECT_EQ("-2 129 287454020", std::to_string(channel) + " " + std::to_string(state) + " " + std::to_string(value));
  DisconnectDevice();
  EXPECT_EQ((Strings{"ismCmdR(11, 1, 12) = 0", "ismCmdW(10 01, 2, 0, 0) = 0", "ismCmdR(06 05, 2, 2) = 0",
                     "ismCmdW(07 05 d4 c3 b2 a1, 6, 0, 0) = 0", "ismExit() = 0"}),
            Calls());
}

TEST_F(DeviceTest, RunProgramLoadsTheLauncherWithTheName) {
  const std::vector<uint8_t> builtIn = GeneratedLauncher();
  // An owner's launcher beside the program file has no stand-in tag; the
  // malformed ones are that launcher with one field changed.
  auto changed = [&](size_t at, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> image = builtIn;
    image[368] = 'R';
    image.resize(std::max(image.size(), at + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), image.begin() + at);
    return image;
  };
  const Strings connect = {"ismExit() = 0", "ismInitEx(0, 0) = 0"}, load = {"ismAppStop() = 0", "ismWriteMem(0x00100000, 176) = 0",
      "ismWriteMem(0x001000b0, 424) = 0", "ismWriteMem(0x00100258, 32) = 0", "ismAppStart() = 0", "ismExit() = 0"};
  const struct { const char* what; const char* simtag; std::vector<uint8_t> file; Strings calls; const char* box; } rows[] = {
      {"the stand-in on a device that is not the simulator", "0", {}, Joined(connect, {"ismGetVersion(1) = 0", "ismExit() = 0"}),
       "このP/ECEではプログラムを実行できません。ランチャー Quillet.srf が必要です。"},
      {"an owner's launcher, on any device", "0", changed(0, {}), Joined(connect, load), nullptr},
      {"a section past the end", "1", changed(16 + 44 + 38, {0, 0, 0xFF, 0xFF}), {}, text::kInternalError},
      {"a chain that loops", "1", changed(16 + 88 + 44, {0, 0, 0, 16}), {}, text::kInternalError},
      {"no name field", "1", changed(968, {0}), {}, text::kInternalError},
      {"the name field in no loaded section", "1", changed(16 + 88 + 34, {0, 0, 0, 0}), {}, text::kInternalError},
      {"a section past the address space", "1", changed(16 + 10, {0xFF, 0xFF, 0xFF, 0x80}), {}, text::kInternalError},
      {"a file over 1 MiB", "1", changed(1000, std::vector<uint8_t>(1 << 20)), {}, text::kInternalError},
      {"the stand-in on the simulator, which it asks first", "1", {}, Joined(connect, Joined({"ismGetVersion(1) = 0"}, load)), nullptr},
  };
  platform.resources["SRF/129"] = builtIn;
  platform.programPath = host.File("Quillet.exe");
  for (const auto& r : rows) {
    Reset();
    piecesim::SetState(0, "simtag", r.simtag);
    unlink(host.File("Quillet.srf").c_str());
    if (!r.file.empty()) host.Write("Quillet.srf", std::string(r.file.begin(), r.file.end()));
    RunProgram("game.pex");
    EXPECT_EQ(r.calls, Calls()) << r.what;
    EXPECT_EQ(r.box ? Strings{r.box} : Strings{}, platform.Texts()) << r.what;
    if (r.calls.size() > 4)   // what was loaded is the launcher's own, with the name
      EXPECT_EQ(std::string(r.file.empty() ? "Q" : "R") + "game.pex" + std::string(24, '\0'),
                piecesim::ReadMemory(0, 0x100000, 1) + piecesim::ReadMemory(0, piecesim::kLauncherNameAddress, 32)) << r.what;
  }
  const std::string n31(31, 'n');   // on from the last row
  RunProgram(n31);
  EXPECT_EQ((Strings{"game.pex", n31}), piecesim::Runs(0));
  // A name that leaves no zero byte, an image without the field, no image:
  // an internal error before the device is touched.
  piecesim::ClearCallLog();
  RunProgram(n31 + "n");
  platform.resources["SRF/129"].assign(100, 0);
  RunProgram("game.pex");
  platform.resources.clear();
  RunProgram("game.pex");
  EXPECT_EQ(Strings(3, text::kInternalError), platform.Texts());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(DeviceTest, BeepHandshake) {
  AppSettings.beep = true;
  const uint32_t address = SoundBlockAddress(piecesim::kDefaultMemoryTop);
  // The calls in short: P pause, S status, R read memory, W write memory,
  // C channel write, c channel read, G go on.
  const std::map<std::string, char> letters = {{"ismCmdW(10 01", 'P'}, {"ismCmdW(10 00", 'G'}, {"ismCmdR(11", 'S'},
                                               {"ismReadMem", 'R'}, {"ismWriteMem", 'W'}, {"ismCmdW(07", 'C'}, {"ismCmdR(06", 'c'}};
  const struct { const char *key, *value, *reset; std::string calls; } rows[] = {
      {"playreads", "3", "5", "PSRWCccccWG"},       // three busy reads, then 0
      {"stoppedstate", "5", "1", "PSRWCccccccWG"},   // 0x05: the low two bits say stopped
      {"stoppedstate", "3", "1", "P" + std::string(77, 'S') + "G"},   // 1000 ms, then resume; memory untouched
      {"channelbusy", "1", "0", "PSRWC" + std::string(77, 'c') + "WG"},
  };
  for (const auto& r : rows) {
    piecesim::ClearCallLog();
    piecesim::SetState(0, r.key, r.value);
    platform.sleeps.clear();
    BeepDevice();
    piecesim::SetState(0, r.key, r.reset);
    std::string calls;
    for (const std::string& line : Calls())
      for (const auto& l : letters) calls += line.rfind(l.first, 0) == 0 ? std::string(1, l.second) : "";
    EXPECT_EQ(r.calls, calls) << r.key << "=" << r.value;
    if (calls[2] == 'R') EXPECT_EQ(50u, platform.sleeps.at(0)) << "the play wait starts with 50 ms";
  }
  EXPECT_EQ("3 " + std::to_string(address), piecesim::GetState(0, "plays") + " " + piecesim::GetState(0, "playaddr"));
  std::vector<uint8_t> block = BuildSoundBlock(address);
  EXPECT_EQ(std::string(block.begin() + 20, block.end()), piecesim::PlayedSamples(0));
  AppSettings.beep = false;
  piecesim::ClearCallLog();
  BeepDevice();
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(platform.shown.empty());
}

// What the report and the trace say of a call: the time it started, device
// names and host paths as text, addresses in hexadecimal, the status and how
// long it took; the last calls kept, oldest first, one under way last.
TEST_F(DeviceTest, CallsAreToldAsTheyWereMade) {
  Reset({"ソフト.pex=abc"});
  const std::string path = host.Write(u8"\u30bd.pex", "12345");
  uint8_t buffer[16];
  const struct { std::function<int32_t()> call; std::string line; } rows[] = {
      {[] { return ismPFFSDelete("ソフト.pex"); }, u8"ismPFFSDelete(\"\u30bd\u30d5\u30c8.pex\") = 0"},
      {[&] { return NextCallMoves(path, 5), ismPFFSWrite("a.pex", path.c_str()); }, "ismPFFSWrite(\"a.pex\", \"" + path + "\") = 0"},
      {[&] { return ismReadMem(buffer, 0x13DCCC, 16); }, "ismReadMem(0x0013DCCC, 16) = 0"},
      {[] { return ismPFFSDelete("none.pex"); }, "ismPFFSDelete(\"none.pex\") = 4"},
  };
  ASSERT_TRUE(ConnectDevice());
  for (const auto& r : rows) {
    platform.now = 6;   // the time of day's milliseconds, from the fake clock
    r.call();
    EXPECT_EQ("09:05:03.006 " + r.line + " (1 ms)", RecentCalls().back());
  }
  for (uint32_t i = 0; i < kCallsKept + 2; ++i) ismReadMem(buffer, i, 1);
  DisconnectDevice();
  Strings recent = RecentCalls();
  ASSERT_EQ(kCallsKept, recent.size());
  EXPECT_NE(std::string::npos, recent.front().find("(0x00000003, 1)")) << recent.front();
  // A call that has not come back is the last, the oldest making room.
  struct Hung : LibraryBackend {
    Strings seen;
    int32_t Call(PieceFunctionId, const uintptr_t*, size_t) override { return seen = RecentCalls(), 0; }
  } hung;
  SetLibraryBackend(&hung);
  platform.now = 41;
  ismAppStop();
  piecesim::AnswerInProcess();
  ASSERT_EQ(kCallsKept, hung.seen.size());
  EXPECT_EQ("09:05:03.041 ismAppStop() (実行中)", hung.seen.back());
  EXPECT_EQ(recent[1], hung.seen.front());
}

// The trace: nothing while it is off; each call as it starts and as it
// ends; the log started afresh once it has passed its limit; a log that
// cannot be written said once, and the call made all the same.
TEST_F(DeviceTest, TraceWritesEachCallTwice) {
  platform.logFolder = host.path() + "/";
  const std::string log = host.File("Quillet.log");
  TraceLog trace;
  ismExit();
  EXPECT_EQ(Strings{}, host.Entries());
  trace.Enable(true);
  platform.now = 6;
  ismExit();
  EXPECT_EQ("09:05:03.006 ismExit() ...\r\n09:05:03.006 ismExit() = 0 (1 ms)\r\n", Read(log));
  trace.Enable(false);
  const std::string full(kTraceLimit - 1, 'x');
  host.Write("Quillet.log", full);
  trace.Enable(true);
  platform.now = 6;
  ismExit();
  EXPECT_EQ(full + "09:05:03.006 ismExit() ...\r\n", Read(host.File("Quillet.old.log")));
  EXPECT_EQ("09:05:03.006 ismExit() = 0 (1 ms)\r\n", Read(log));
  trace.Enable(false);
  platform.logFolder.clear();
  trace.Enable(true);
  EXPECT_EQ(0, ismExit());
  trace.ReportFailure();
  ismExit();
  trace.ReportFailure();
  trace.Enable(false);
  EXPECT_EQ(Strings{"ログファイルに書き込めません。"}, platform.Texts());
}

}  // namespace
