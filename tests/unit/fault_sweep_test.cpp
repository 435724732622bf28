// Device operations run once cleanly and then once for each library call
// that run made, with just that call failing, under each way of answering the
// boxes (delete and rename have a table of each failure instead). Whatever
// fails: the box shown is the one the operation has for that failure (none
// where it is silent), no connection stays open, the wait cursor is gone,
// and the operation's own check holds: no file lost, device memory the beep
// borrowed back byte for byte, nothing left in the temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "app/path_util.h"
#include "app/settings_store.h"
#include "device/beep.h"
#include "device/beep_block.h"
#include "device/launcher.h"
#include "device/pieceif.h"
#include "readout/read_out.h"
#include "pause/pause_device.h"
#include "tests/support/fakes.h"
#include "transfer/transfer.h"

std::vector<uint8_t> GeneratedLauncher();

namespace {

using Files = std::map<std::string, std::string>;

// Abort/Retry/Ignore boxes get `failure` (Retry at most three times), Yes/No
// boxes Yes.
struct Answers { const char* title; int failure; };
const Answers kAbort{"Abort", IDABORT}, kIgnore{"Ignore", IDIGNORE}, kRetry{"Retry", IDRETRY}, kOk{"OK", IDOK};

// The box a failing call brings up: the first rule whose function, nth call
// (0: any) and status (0: any) match; a call no rule names fails silently.
// After an `incomplete` failure the operation cannot have done its work.
struct Rule { const char* function; int nth; int32_t status; const char* box; bool incomplete; };

// errors: the boxes but the Yes/No questions and the notices at the end.
struct Outcome { std::string label; bool faulted, incomplete; Strings errors; };

struct Operation {
  const char* name; std::vector<Answers> answers; std::vector<int32_t> statuses; std::vector<Rule> rules;
  std::function<void()> prepare, run; std::function<void(const Outcome&)> check;
};

Files DeviceFiles() {
  Files files;
  for (const std::string& name : piecesim::ListFiles(0)) piecesim::GetFile(0, name, &files[name]);
  return files;
}

class FaultSweep : public SimTest {
 protected:
  void Sweep(const Operation& op) {
    std::set<std::string> unasked;
    for (const Answers& answers : op.answers) {
      Run(op, answers, "", 0, 0);
      std::map<std::string, int> seen;
      for (const std::string& line : piecesim::CallLog()) {   // a copy: each run starts a new log
        std::string function = line.substr(0, line.find('('));
        int nth = ++seen[function];
        for (int32_t status : op.statuses) {
          // When no Abort/Retry/Ignore box came up, another answer only repeats the run.
          std::string key = function + "#" + std::to_string(nth) + "=" + std::to_string(status);
          if (unasked.count(key)) continue;
          if (!Run(op, answers, function, nth, status)) unasked.insert(key);
        }
      }
    }
  }

  Files before;   // the device's files before the run
  TempDir swap;

 private:
  // One run with the nth call of function failing (none when empty); true
  // when it asked Abort, Retry or Ignore.
  bool Run(const Operation& op, const Answers& answers, const std::string& function, int nth, int32_t status) {
    Reset();
    int retries = 0;
    platform.answerer = [answers, retries](const Box& box) mutable {
      if ((box.style & 0xf) == MB_YESNO) return int(IDYES);
      return (box.style & 0xf) != MB_ABORTRETRYIGNORE ? int(IDOK) : answers.failure == IDRETRY && ++retries > 3 ? int(IDABORT)
                                                                                                            : answers.failure;
    };
    op.prepare();
    before = DeviceFiles();
    piecesim::ClearFaults(), piecesim::ClearCallLog();
    platform.shown.clear(), platform.openedFolders.clear();
    if (!function.empty()) piecesim::InjectFault(function, nth, status);
    op.run();
    Outcome o{std::string(op.name) + " " + (function.empty() ? "clean" : function + "#" + std::to_string(nth) + "=" +
                                           std::to_string(status)) + " " + answers.title,
              !function.empty(), false, {}};
    const char* box = "";
    for (const Rule& r : op.rules)
      if (function == r.function && (!r.nth || r.nth == nth) && (!r.status || r.status == status)) {
        box = r.box, o.incomplete = r.incomplete;
        break;
      }
    bool asked = false;
    for (const Box& b : platform.shown) {
      asked = asked || (b.style & 0xf) == MB_ABORTRETRYIGNORE;
      if ((b.style & 0xf) != MB_YESNO && (b.style & 0xf0) != MB_ICONINFORMATION) o.errors.push_back(b.text);
    }
    EXPECT_EQ(0, piecesim::OpenConnections()) << o.label << ": a connection was left open";
    EXPECT_EQ(0, platform.waitDepth) << o.label << ": the wait cursor stayed";
    EXPECT_EQ(*box ? Strings{box} : Strings{}, o.errors) << o.label;
    op.check(o);
    return asked;
  }

 protected:
  // Every file that was on the device is there or in the swap folder with
  // its bytes, or holds what was written over it; a file asked for that is
  // not there was reported.
  void ExpectNothingLost(const Outcome& o, const Files& written) {
    Files now = DeviceFiles();
    for (const auto& f : before)
      EXPECT_TRUE(now.count(f.first) ? now[f.first] == f.second || (written.count(f.first) && now[f.first] == written.at(f.first))
                                     : swap.Read(f.first) == f.second)
          << o.label << ": " << f.first << " lost";
    for (const auto& w : written)
      if (!now.count(w.first) || now[w.first] != w.second)
        EXPECT_FALSE(o.errors.empty()) << o.label << ": " << w.first << " silently not written";
  }
};

TEST_F(FaultSweep, Listing) {
  MemoryList list;
  const PathList dropped = {"C:\\drop\\B.PEX"};
  Sweep({"listing", {kOk}, {9}, {{"ismInitEx", 0, 0, "", true}, {"ismPFFSDir", 0, 0, "", true}},
         [&] { piecesim::PutFile(0, "b.pex", "bbb"), list = MemoryList(); },
         [&] { RefreshFileList(list, &dropped); },
         [&](const Outcome& o) {
           EXPECT_EQ(o.incomplete ? "0 Quillet" : "1 Quillet - 262141 bytes free", std::to_string(list.items.size()) + " " + list.title)
               << o.label;
         }});
}

// Two new files that need the room of one old file each, on a device whose
// oldest file already has a stale copy in the swap folder.
TEST_F(FaultSweep, WriteWithSwapOut) {
  const Files written = {{"x.pex", std::string(400, 'X')}, {"y.pex", std::string(400, 'Y')}};
  Sweep({"write+swap", {kAbort, kIgnore, kRetry}, {9, kPieceFlashFull},
         {{"ismInitEx", 1, 0, text::kLruFailed, true}, {"ismPFFSDir", 1, 0, text::kLruFailed, true},
          {"ismInitEx", 2, 0, text::kCannotConnect, true}, {"ismPFFSWrite", 0, kPieceFlashFull, "", false},
          {"ismPFFSWrite", 0, 0, text::kWriteFailed, false}, {"ismPFFSRead", 0, 0, text::kSwapFailed, false}},
         [&] {
           piecesim::SetState(0, "capacity", "1300");
           piecesim::PutFile(0, "startup.pex", std::string(50, 's'));
           for (const char* name : {"a.pex", "b.pex", "c.pex"}) piecesim::PutFile(0, name, std::string(300, *name));
           swap.Clear();
           swap.Write("a.pex", "stale");
           for (const auto& f : written) host.Write(f.first, f.second);
           AppSettings = AppSettingsRecord{true, swap.path() + "/", true, true, false};
         },
         [&] { TransferFiles({host.File("x.pex"), host.File("y.pex")}); },
         [&](const Outcome& o) {
           ExpectNothingLost(o, written);
           EXPECT_TRUE(DeviceFiles().count("startup.pex")) << o.label;
           // The stale copy is replaced only by the device's own file.
           EXPECT_TRUE(swap.Read("a.pex") == "stale" || swap.Read("a.pex") == before["a.pex"]) << o.label;
           // The folder opens once, at the first swap-out, which a full flash calls for.
           const Strings log = piecesim::CallLog();
           bool full = std::any_of(log.begin(), log.end(), [](const std::string& l) {
             return l.rfind("ismPFFSWrite", 0) == 0 && l.find(") = 1005") != std::string::npos; });
           EXPECT_EQ(full ? Strings{swap.path() + "/"} : Strings{}, platform.openedFolders) << o.label;
         }});
}

TEST_F(FaultSweep, ReadOut) {
  Files copies;   // what the drop target would see
  Sweep({"read-out", {kOk}, {9},
         {{"ismInitEx", 0, 0, text::kCannotConnect, true}, {"ismPFFSRead", 0, 0, "ファイルの読み込みに失敗しました。", true}},
         [&] {
           for (const char* name : {"a.pex", "b.txt", "c.dat"}) piecesim::PutFile(0, name, name);
           platform.tempFolder = swap.path() + "/";
           copies.clear();
         },
         [&] {
           ReadOut readOut;
           Strings refused;
           ASSERT_TRUE(readOut.Prepare({{4, "a.pex"}, {3, "b.txt"}, {2, "c.dat"}}, &refused));
           if (readOut.ReadAtDrop())
             for (const std::string& path : readOut.tempPaths()) copies[HostFileName(path)] = Read(path);
           readOut.ReportError();
         },
         [&](const Outcome& o) {
           EXPECT_EQ(o.incomplete ? Files{} : before, copies) << o.label;
           EXPECT_EQ(Strings{}, swap.Entries()) << o.label << ": left in the temporary folder";
           swap.Clear();
         }});
}

TEST_F(FaultSweep, Run) {
  Sweep({"run", {kOk}, {9},
         {{"ismInitEx", 0, 0, text::kCannotConnect, true},
          {"ismGetVersion", 0, 0, "このP/ECEではプログラムを実行できません。ランチャー Quillet.srf が必要です。", true},
          {"ismAppStop", 0, 0, text::kControlError, true},
          {"ismWriteMem", 0, 0, "メモリへの書き込みに失敗しました。", true}, {"ismAppStart", 0, 0, text::kControlError, true}},
         [&] { platform.resources["SRF/129"] = GeneratedLauncher(); },
         [] { RunProgram("game.pex"); },
         [&](const Outcome& o) { EXPECT_EQ(o.incomplete ? Strings{} : Strings{"game.pex"}, piecesim::Runs(0)) << o.label; }});
}

TEST_F(FaultSweep, Pause) {
  Strings windows;   // what each window found: open connections, paused
  Sweep({"pause", {kOk}, {9},
         {{"ismInitEx", 1, 0, text::kCannotConnect, true}, {"ismCmdW", 1, 0, text::kControlError, true},
          {"ismInitEx", 2, 0, text::kCannotConnect, false}, {"ismCmdW", 2, 0, text::kControlError, false}},
         [&] { windows.clear(); },
         [&] { PauseDevice([&] { windows.push_back(std::to_string(piecesim::OpenConnections()) + piecesim::GetState(0, "paused")); }); },
         [&](const Outcome& o) {
           EXPECT_EQ(o.incomplete ? Strings{} : Strings{"01"}, windows) << o.label << ": no connection while paused";
           // After the window a failure may leave it paused, but the user is told.
           if (o.errors.empty() || windows.empty()) EXPECT_EQ("0", piecesim::GetState(0, "paused")) << o.label << ": left paused";
         }});
}

TEST_F(FaultSweep, Beep) {
  std::string memory;
  Sweep({"beep", {kOk}, {9}, {},   // the beep never says a word
         [&] {   // a pattern over the borrowed bytes and beyond them, so that any write shows
           std::string pattern;
           for (size_t i = 0; i < 2 * kSoundBlockSize; ++i) pattern += static_cast<char>(i * 13 + 5);
           const uint32_t at = SoundBlockAddress(piecesim::kDefaultMemoryTop) - kSoundBlockSize / 2;
           piecesim::WriteMemory(0, at, pattern);
           ASSERT_EQ(pattern, piecesim::ReadMemory(0, at, pattern.size()));
           memory = piecesim::ReadMemory(0, piecesim::kMemoryBase, piecesim::kMemoryEnd - piecesim::kMemoryBase);
           AppSettings.beep = true;
         },
         [] { BeepDevice(); },
         [&](const Outcome& o) {
           EXPECT_TRUE(memory == piecesim::ReadMemory(0, piecesim::kMemoryBase, piecesim::kMemoryEnd - piecesim::kMemoryBase))
               << o.label << ": device memory not restored";
           EXPECT_EQ("0", piecesim::GetState(0, "paused")) << o.label << ": left paused";
           if (!o.faulted) EXPECT_EQ(800u, piecesim::PlayedSamples(0).size()) << o.label;
         }});
}

}  // namespace
