// Every device operation run once cleanly and then once for each library call
// that run made, with just that call failing. Whatever fails and whatever the
// user answers: nothing crashes, the box shown is the one the operation has
// for that failure (none where the failure is silent), no connection stays
// open, the wait cursor is gone, device memory the beep borrowed is back
// byte for byte, and no file is lost - every file is still on the device or,
// after a swap-out, in the swap folder with the same bytes; a read-out leaves
// nothing behind in the temporary folder. A summary table goes to stdout.
#include <dirent.h>
#include <ftw.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/path_util.h"
#include "app/settings_store.h"
#include "device/beep.h"
#include "device/beep_block.h"
#include "device/connection.h"
#include "device/launcher.h"
#include "device/pieceif.h"
#include "filelist/file_list.h"
#include "filelist/item_text.h"
#include "filelist/read_out.h"
#include "pause/pause_device.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_list.h"
#include "transfer/transfer.h"

namespace {

const char kCannotConnect[] = "P/ECEに接続できません。";
const char kControlError[] = "実行制御エラーです。";
const char kMemoryWriteFailed[] = "メモリへの書き込みに失敗しました。";
const char kDeleteFailed[] = "ファイルの削除に失敗しました。";
const char kReadFailed[] = "ファイルの読み込みに失敗しました。";
const char kLruFailed[] = "LRUリストの調整に失敗しました。";
const char kNoRoom[] = "空き容量が足りません。";
const char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
const char kSwapFailed[] = "ファイルの入れ替えに失敗しました。";
const char kSilent[] = "";

constexpr int32_t kFailure = 9;   // no status the program knows by name

// What the user does with the boxes of one run. Confirmations of the
// operation itself and the swap folder's overwrite question are answered Yes.
struct Answers {
  const char* title;
  int failureBox;        // the answer to Abort/Retry/Ignore boxes
  bool declineStartup;   // No to the startup.pex question
};

const Answers kAbort{"Abort", IDABORT, false};
const Answers kIgnore{"Ignore", IDIGNORE, false};
const Answers kRetry{"Retry", IDRETRY, false};
const Answers kDecline{"No", IDIGNORE, true};
const Answers kOnlyOk{"OK", IDOK, false};

// Answers boxes by their kind. A run that keeps asking is cut short rather
// than left to hang the suite; the box count check then reports it.
class SweepPlatform : public FakePlatform {
 public:
  Answers policy = kAbort;
  int retries = 0;

  int ShowMessage(const std::string& text, unsigned style) override {
    shown.push_back({text, style});
    bool runaway = shown.size() > 40;
    switch (style & 0xf) {
      case MB_YESNO:
        if (runaway) return IDNO;
        return policy.declineStartup && text.compare(0, 11, "startup.pex") == 0 ? IDNO : IDYES;
      case MB_ABORTRETRYIGNORE:
        if (runaway) return IDABORT;
        if (policy.failureBox == IDRETRY && ++retries > 3) return IDABORT;
        return policy.failureBox;
      default:
        return IDOK;
    }
  }
};

struct Fault {
  std::string function;
  int nth;
  int32_t status;
};

// The box a failing call must bring up; the first rule that matches wins and
// a call no rule names fails silently. `incomplete` marks failures after
// which the operation cannot have done its work (each check says what that
// work is).
struct Rule {
  const char* function;
  int nth;          // 0: any call of the function
  int32_t status;   // 0: any status
  const char* message;
  bool incomplete;
};

struct Expected {
  std::string message;
  bool incomplete = false;
};

Expected Match(const std::vector<Rule>& rules, const Fault* fault) {
  if (!fault) return {};
  for (const Rule& r : rules) {
    if (fault->function != r.function) continue;
    if (r.nth != 0 && r.nth != fault->nth) continue;
    if (r.status != 0 && r.status != fault->status) continue;
    return {r.message, r.incomplete};
  }
  return {};
}

// What one run left behind, for the operation's own checks.
struct Outcome {
  std::string label;
  const Fault* fault;   // null for the clean run
  Expected expected;
  std::vector<std::string> errors;   // every box but the Yes/No questions
};

struct Operation {
  const char* name;
  std::vector<Answers> answers;
  std::vector<int32_t> statuses;
  std::vector<Rule> rules;
  std::function<void()> prepare;   // devices, host files, settings
  std::function<void()> run;
  std::function<void(const Outcome&)> check;
};

struct Row {
  std::string operation;
  size_t callsFailed;
  int outcomes;
};

std::vector<Row>& Table() {
  static std::vector<Row> rows;
  return rows;
}

// Prints the table once every sweep has run.
class SweepTable : public ::testing::Environment {
 public:
  void TearDown() override {
    if (Table().empty()) return;
    size_t calls = 0;
    int outcomes = 0;
    printf("\n%-12s %12s %17s\n", "operation", "calls failed", "outcomes checked");
    for (const Row& r : Table()) {
      printf("%-12s %12zu %17d\n", r.operation.c_str(), r.callsFailed, r.outcomes);
      calls += r.callsFailed;
      outcomes += r.outcomes;
    }
    printf("%-12s %12zu %17d\n", "total", calls, outcomes);
  }
};

::testing::Environment* const kSweepTable = ::testing::AddGlobalTestEnvironment(new SweepTable);

std::vector<std::string> CallNames() {
  std::vector<std::string> names;
  for (const std::string& line : piecesim::CallLog()) names.push_back(line.substr(0, line.find('(')));
  return names;
}

// The status the nth call of function returned, from the call log; false if
// there was no such call.
bool LoggedStatus(const std::string& function, int nth, int32_t* status) {
  int seen = 0;
  for (const std::string& line : piecesim::CallLog()) {
    if (line.compare(0, function.size() + 1, function + "(") != 0) continue;
    if (++seen < nth) continue;
    size_t at = line.rfind(" = ");
    if (at == std::string::npos) return false;
    *status = static_cast<int32_t>(strtol(line.c_str() + at + 3, nullptr, 10));
    return true;
  }
  return false;
}

bool DeletedOnDevice(const std::string& name) {
  for (const std::string& line : piecesim::CallLog())
    if (line == "ismPFFSDelete(" + name + ") = 0") return true;
  return false;
}


std::vector<uint8_t> LauncherImage() {
  std::ifstream in(QUILLET_LAUNCHER_IMAGE, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

class DeviceFaultSweep : public ::testing::Test {
 protected:
  void SetUp() override { piecesim::SetHome(home.path()); }
  void TearDown() override { piecesim::ResetAll(); }

  void Sweep(const Operation& op) {
    std::set<std::string> failed;
    int outcomes = 0;
    // Runs whose failure boxes were never asked; another answer to them
    // would only repeat the run.
    std::set<std::string> unasked;
    for (const Answers& answers : op.answers) {
      Begin(op, answers);
      op.run();
      const std::vector<std::string> clean = CallNames();
      End(op, answers, nullptr);
      ASSERT_FALSE(clean.empty()) << op.name << ": the clean run made no library call";

      std::map<std::string, int> seen;
      for (const std::string& function : clean) {
        Fault fault{function, ++seen[function], 0};
        for (int32_t status : op.statuses) {
          fault.status = status;
          std::string key = fault.function + "#" + std::to_string(fault.nth) + "=" +
                            std::to_string(status) + (answers.declineStartup ? " declined" : "");
          if (unasked.count(key)) continue;
          Begin(op, answers);
          piecesim::InjectFault(fault.function, fault.nth, status);
          op.run();
          if (!AskedAbortRetryIgnore()) unasked.insert(key);
          End(op, answers, &fault);
          failed.insert(function + "#" + std::to_string(fault.nth));
          ++outcomes;
        }
      }
    }
    Table().push_back({op.name, failed.size(), outcomes});
  }

  bool AskedAbortRetryIgnore() const {
    for (const ShownMessage& box : platform.shown)
      if ((box.style & 0xf) == MB_ABORTRETRYIGNORE) return true;
    return false;
  }

  // The device files as they were just before the run.
  std::map<std::string, std::string> before;

  void ExpectDeviceUnchanged(const Outcome& o) {
    EXPECT_EQ(before, DeviceFiles()) << o.label << ": the device's files changed";
  }

  static std::map<std::string, std::string> DeviceFiles() {
    std::map<std::string, std::string> files;
    for (const std::string& name : piecesim::ListFiles(0)) piecesim::GetFile(0, name, &files[name]);
    return files;
  }

  SweepPlatform platform;
  TempDir home;
  TempDir host;

 private:
  void Begin(const Operation& op, const Answers& answers) {
    piecesim::ResetAll();
    deviceIndex = 0;
    AppSettings = AppSettingsRecord();
    LruList.clear();
    platform.policy = answers;
    platform.retries = 0;
    op.prepare();
    before = DeviceFiles();
    piecesim::ClearFaults();
    piecesim::ClearCallLog();
    platform.shown.clear();
    platform.openedFolders.clear();
    platform.waitDepth = 0;
  }

  void End(const Operation& op, const Answers& answers, const Fault* fault) {
    Outcome o;
    o.fault = fault;
    o.label = std::string(op.name) + " " +
              (fault ? fault->function + "#" + std::to_string(fault->nth) + "=" + std::to_string(fault->status)
                     : std::string("clean run")) +
              " " + answers.title;
    o.expected = Match(op.rules, fault);
    for (const ShownMessage& box : platform.shown)
      if ((box.style & 0xf) != MB_YESNO) o.errors.push_back(box.text);

    if (fault) {
      // The sweep must really have failed that call.
      int32_t status = 0;
      ASSERT_TRUE(LoggedStatus(fault->function, fault->nth, &status)) << o.label << ": call not made";
      EXPECT_EQ(fault->function == "ismGetVersion" ? kPieceVersionFailed : fault->status, status) << o.label;
    }
    EXPECT_EQ(0, piecesim::OpenConnections()) << o.label << ": a connection was left open";
    EXPECT_EQ(0, platform.waitDepth) << o.label << ": the wait cursor stayed";
    std::vector<std::string> wanted;
    if (!o.expected.message.empty()) wanted.push_back(o.expected.message);
    EXPECT_EQ(wanted, o.errors) << o.label;
    op.check(o);
  }
};

TEST_F(DeviceFaultSweep, Listing) {
  MemoryList list;
  const PathList dropped = {"C:\\drop\\B.PEX"};
  bool read = false;
  Operation op;
  op.name = "listing";
  op.answers = {kOnlyOk};
  op.statuses = {kFailure};
  // A failed read is reported by its callers (F5, F6, start-up), not here.
  op.rules = {{"ismInitEx", 0, 0, kSilent, true}, {"ismPFFSDir", 0, 0, kSilent, true}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "b.pex", "bbb");
    piecesim::PutFile(0, "startup.pex", "sssss");
    piecesim::PutFile(0, "a.pex", "aaaa");
    piecesim::PutFile(0, "A.pex", "AA");
    list = MemoryList();
  };
  op.run = [&] { read = RefreshFileList(list, &dropped); };
  op.check = [&](const Outcome& o) {
    ExpectDeviceUnchanged(o);
    if (o.expected.incomplete) {
      EXPECT_FALSE(read) << o.label;
      EXPECT_TRUE(list.items.empty()) << o.label;
      EXPECT_EQ("Quillet", list.title) << o.label;
      return;
    }
    EXPECT_TRUE(read) << o.label;
    EXPECT_EQ((std::vector<std::string>{"     5 startup.pex", "     2 A.pex", "     4 a.pex", "     3 b.pex"}),
              [&] {
                std::vector<std::string> texts;
                for (const auto& i : list.items) texts.push_back(i.text);
                return texts;
              }())
        << o.label;
    EXPECT_EQ(std::vector<std::string>{"b.pex"}, list.Names(true)) << o.label;
    EXPECT_EQ("Quillet - " + std::to_string(piecesim::kDefaultCapacity - 14) + " bytes free", list.title)
        << o.label;
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, Delete) {
  MemoryList list;
  const std::vector<std::string> selected = {"startup.pex", "a.pex", "b.pex", "c.pex"};
  Operation op;
  op.name = "delete";
  op.answers = {kAbort, kIgnore, kRetry, kDecline};
  op.statuses = {kFailure};
  // The refresh after the deletes reports nothing; the list shows it.
  op.rules = {{"ismInitEx", 1, 0, kCannotConnect, false},
              {"ismPFFSDelete", 0, 0, kDeleteFailed, false},
              {"ismInitEx", 2, 0, kSilent, true},
              {"ismPFFSDir", 0, 0, kSilent, true}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    list = MemoryList();
    for (const char* name : {"startup.pex", "a.pex", "b.pex", "c.pex", "keep.pex"}) {
      std::string bytes = std::string(name) + " \x82\xa0 bytes";
      piecesim::PutFile(0, name, bytes);
      list.items.push_back({FormatItemText({static_cast<int32_t>(bytes.size()), name}), false});
    }
    for (size_t i = 0; i < selected.size(); ++i) list.items[i].selected = true;
  };
  op.run = [&] { DeleteSelectedFiles(list); };
  op.check = [&](const Outcome& o) {
    std::map<std::string, std::string> now = DeviceFiles();
    for (const auto& file : before) {
      auto kept = now.find(file.first);
      if (kept != now.end()) {
        EXPECT_EQ(file.second, kept->second) << o.label << ": " << file.first << " changed";
        bool wanted = file.first != "keep.pex" && !(file.first == "startup.pex" && platform.policy.declineStartup);
        // A file the user wanted gone that is still there was reported.
        if (wanted) EXPECT_FALSE(o.errors.empty()) << o.label << ": " << file.first << " silently kept";
      } else {
        EXPECT_NE("keep.pex", file.first) << o.label;
        EXPECT_TRUE(DeletedOnDevice(file.first)) << o.label << ": " << file.first << " gone unasked";
      }
    }
    // The list shows the device as it now is, or is empty after a failed read.
    if (o.expected.incomplete) {
      EXPECT_TRUE(list.items.empty()) << o.label;
      EXPECT_EQ("Quillet", list.title) << o.label;
    } else {
      std::vector<std::string> onDevice;
      for (const auto& file : now) onDevice.push_back(file.first);
      std::vector<std::string> shown = list.Names();
      std::sort(shown.begin(), shown.end());
      EXPECT_EQ(onDevice, shown) << o.label;
      EXPECT_EQ(0u, list.title.find("Quillet - ")) << o.label;
      EXPECT_TRUE(list.Names(true).empty()) << o.label;
    }
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, Write) {
  // A plain file over an existing one, a list naming two new ones, and
  // startup.pex, which is asked about.
  const std::map<std::string, std::string> targets = {
      {"a.pex", "new a"}, {"b.pex", "new b"}, {"c.pex", "new c"}, {"startup.pex", "new startup"}};
  const PathList paths = {host.File("A.PEX"), host.File("set.pfs"), host.File("startup.pex")};
  Operation op;
  op.name = "write";
  op.answers = {kAbort, kIgnore, kRetry, kDecline};
  op.statuses = {kFailure, kPieceFlashFull};
  op.rules = {{"ismInitEx", 1, 0, kLruFailed, true},
              {"ismPFFSDir", 1, 0, kLruFailed, true},
              {"ismInitEx", 2, 0, kCannotConnect, true},
              {"ismPFFSWrite", 0, kPieceFlashFull, kNoRoom, false},
              {"ismPFFSWrite", 0, 0, kWriteFailed, false}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "startup.pex", "old startup");
    piecesim::PutFile(0, "a.pex", "old a");
    piecesim::PutFile(0, "other.pex", "other");
    host.Write("A.PEX", targets.at("a.pex"));
    host.Write("b.pex", targets.at("b.pex"));
    host.Write("c.pex", targets.at("c.pex"));
    host.Write("startup.pex", targets.at("startup.pex"));
    host.Write("set.pfs", "b.pex\n\nc.pex  \n");
  };
  op.run = [&] { TransferFiles(paths); };
  op.check = [&](const Outcome& o) {
    std::map<std::string, std::string> now = DeviceFiles();
    EXPECT_EQ("other", now["other.pex"]) << o.label;
    for (const auto& target : targets) {
      auto found = now.find(target.first);
      auto old = before.find(target.first);
      if (found != now.end() && found->second == target.second) {
        if (o.expected.incomplete) ADD_FAILURE() << o.label << ": " << target.first << " written after the failure";
        continue;
      }
      // Not written: the old file (if any) is whole, and the user was told.
      if (old == before.end())
        EXPECT_TRUE(found == now.end()) << o.label << ": " << target.first << " holds other bytes";
      else
        EXPECT_TRUE(found != now.end() && found->second == old->second) << o.label << ": " << target.first << " lost";
      if (!(target.first == "startup.pex" && platform.policy.declineStartup))
        EXPECT_FALSE(o.errors.empty()) << o.label << ": " << target.first << " silently not written";
    }
    for (const std::string& name : LruList) EXPECT_NE("startup.pex", name) << o.label;
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, WriteWithSwapOut) {
  // Two new files that need the room of one old file each, on a device whose
  // oldest file already has a stale copy in the swap folder.
  TempDir swap;
  const PathList paths = {host.File("x.pex"), host.File("y.pex")};
  const std::map<std::string, std::string> written = {{"x.pex", std::string(400, 'X')},
                                                      {"y.pex", std::string(400, 'Y')}};
  Operation op;
  op.name = "write+swap";
  op.answers = {kAbort, kIgnore, kRetry};
  op.statuses = {kFailure, kPieceFlashFull};
  // A write that reports a full flash makes room and is tried again; a failed
  // delete moves on to the next old file, both without a word.
  op.rules = {{"ismInitEx", 1, 0, kLruFailed, true},
              {"ismPFFSDir", 1, 0, kLruFailed, true},
              {"ismInitEx", 2, 0, kCannotConnect, true},
              {"ismPFFSWrite", 0, kPieceFlashFull, kSilent, false},
              {"ismPFFSWrite", 0, 0, kWriteFailed, false},
              {"ismPFFSRead", 0, 0, kSwapFailed, false}};
  op.prepare = [&] {
    piecesim::CreateDevice(0, 1300);
    piecesim::PutFile(0, "startup.pex", std::string(50, 's'));
    piecesim::PutFile(0, "a.pex", std::string(300, 'a'));
    piecesim::PutFile(0, "b.pex", std::string(300, 'b'));
    piecesim::PutFile(0, "c.pex", "c" + std::string(299, '\x83'));
    for (const std::string& name : FolderEntries(swap.path())) unlink(swap.File(name).c_str());
    swap.Write("a.pex", "stale");
    for (const auto& file : written) host.Write(file.first, file.second);
    AppSettings.mode = true;
    AppSettings.folder = swap.path() + "/";
    AppSettings.warnoverwr = true;
    AppSettings.openfolder = true;
  };
  op.run = [&] { TransferFiles(paths); };
  op.check = [&](const Outcome& o) {
    std::map<std::string, std::string> now = DeviceFiles();
    for (const auto& file : before) {
      std::string copy;
      bool copied = platform.ReadFileBytes(swap.File(file.first), &copy) && copy == file.second;
      auto kept = now.find(file.first);
      if (kept != now.end())
        EXPECT_EQ(file.second, kept->second) << o.label << ": " << file.first << " changed";
      else
        EXPECT_TRUE(copied) << o.label << ": " << file.first << " lost";
    }
    EXPECT_TRUE(now.count("startup.pex")) << o.label;
    // The stale copy is replaced only by the device's own file (the user said Yes).
    std::string stale;
    ASSERT_TRUE(platform.ReadFileBytes(swap.File("a.pex"), &stale)) << o.label;
    EXPECT_TRUE(stale == "stale" || stale == before["a.pex"]) << o.label;
    for (const auto& file : written) {
      auto found = now.find(file.first);
      if (found == now.end())
        EXPECT_FALSE(o.errors.empty()) << o.label << ": " << file.first << " silently not written";
      else
        EXPECT_EQ(file.second, found->second) << o.label;
    }
    EXPECT_LE(platform.openedFolders.size(), 1u) << o.label;
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, ReadOut) {
  TempDir temp;
  const std::vector<std::string> items = {"     4 a.pex", "     3 b.txt", "     2 c.dat"};
  bool dropped = false;
  std::map<std::string, std::string> copies;   // what the drop target would see
  Operation op;
  op.name = "read-out";
  op.answers = {kOnlyOk};
  op.statuses = {kFailure};
  op.rules = {{"ismInitEx", 0, 0, kCannotConnect, true}, {"ismPFFSRead", 0, 0, kReadFailed, true}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "a.pex", "AAAA");
    piecesim::PutFile(0, "b.txt", "B\x82\xa0");
    piecesim::PutFile(0, "c.dat", "CC");
    platform.tempFolder = temp.path() + "/";
    dropped = false;
    copies.clear();
  };
  op.run = [&] {
    ReadOut readOut;
    ASSERT_TRUE(readOut.Prepare(items));
    dropped = readOut.ReadAtDrop();
    if (dropped)
      for (const std::string& path : readOut.tempPaths())
        platform.ReadFileBytes(path, &copies[FileNamePart(path)]);
    readOut.ReportError();
  };
  op.check = [&](const Outcome& o) {
    ExpectDeviceUnchanged(o);
    EXPECT_EQ(!o.expected.incomplete, dropped) << o.label;
    if (dropped) EXPECT_EQ(before, copies) << o.label;
    std::vector<std::string> left = FolderEntries(temp.path());
    EXPECT_TRUE(left.empty()) << o.label << ": left in the temporary folder: " << left[0];
    for (const std::string& name : left) RemoveTree(temp.File(name));   // the next run starts clean
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, Run) {
  const std::vector<uint8_t> image = LauncherImage();
  ASSERT_EQ(1000u, image.size());
  Operation op;
  op.name = "run";
  op.answers = {kOnlyOk};
  op.statuses = {kFailure};
  op.rules = {{"ismInitEx", 0, 0, kCannotConnect, true},
              {"ismAppStop", 0, 0, kControlError, true},
              {"ismWriteMem", 0, 0, kMemoryWriteFailed, true},
              {"ismAppStart", 0, 0, kControlError, true}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "game.pex", "game");
    piecesim::PutFile(0, "other.pex", "other");
    platform.resources["SRF/129"] = image;
  };
  op.run = [] { RunProgram("game.pex"); };
  op.check = [&](const Outcome& o) {
    ExpectDeviceUnchanged(o);
    std::vector<std::string> ran;
    if (!o.expected.incomplete) ran.push_back("game.pex");
    EXPECT_EQ(ran, piecesim::Runs(0)) << o.label;
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, Pause) {
  int windows = 0;
  int openWhileShown = 0;
  std::string pausedWhileShown;
  Operation op;
  op.name = "pause";
  op.answers = {kOnlyOk};
  op.statuses = {kFailure};
  // Failures before the window mean no window; after it, the device may
  // stay paused, but the user is told.
  op.rules = {{"ismInitEx", 1, 0, kCannotConnect, true},
              {"ismCmdW", 1, 0, kControlError, true},
              {"ismInitEx", 2, 0, kCannotConnect, false},
              {"ismCmdW", 2, 0, kControlError, false}};
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "game.pex", "game");
    windows = 0;
    openWhileShown = 0;
    pausedWhileShown.clear();
  };
  op.run = [&] {
    PauseDevice([&] {
      ++windows;
      openWhileShown = piecesim::OpenConnections();
      pausedWhileShown = piecesim::GetState(0, "paused");
    });
  };
  op.check = [&](const Outcome& o) {
    ExpectDeviceUnchanged(o);
    EXPECT_EQ(o.expected.incomplete ? 0 : 1, windows) << o.label;
    if (windows) {
      EXPECT_EQ(0, openWhileShown) << o.label << ": connection held while the window was up";
      EXPECT_EQ("1", pausedWhileShown) << o.label;
    }
    if (o.errors.empty() || !windows) EXPECT_EQ("0", piecesim::GetState(0, "paused")) << o.label << ": left paused";
  };
  Sweep(op);
}

TEST_F(DeviceFaultSweep, Beep) {
  const uint32_t address = SoundBlockAddress(piecesim::kDefaultMemoryTop);
  const uint32_t memorySize = piecesim::kMemoryEnd - piecesim::kMemoryBase;
  std::string memory;
  Operation op;
  op.name = "beep";
  op.answers = {kOnlyOk};
  op.statuses = {kFailure};
  op.rules = {};   // the beep never says a word
  op.prepare = [&] {
    piecesim::CreateDevice(0);
    piecesim::PutFile(0, "game.pex", "game");
    std::string pattern;
    for (size_t i = 0; i < 2 * kSoundBlockSize; ++i) pattern += static_cast<char>(i * 13 + 5);
    piecesim::WriteMemory(0, address - kSoundBlockSize / 2, pattern);
    memory = piecesim::ReadMemory(0, piecesim::kMemoryBase, memorySize);
    AppSettings.beep = true;
  };
  op.run = [] { BeepDevice(); };
  op.check = [&](const Outcome& o) {
    ExpectDeviceUnchanged(o);
    EXPECT_TRUE(platform.shown.empty()) << o.label;
    EXPECT_TRUE(memory == piecesim::ReadMemory(0, piecesim::kMemoryBase, memorySize))
        << o.label << ": device memory not restored";
    EXPECT_EQ("0", piecesim::GetState(0, "paused")) << o.label << ": left paused";
    if (!o.fault) EXPECT_EQ(800u, piecesim::PlayedSamples(0).size()) << o.label;
  };
  Sweep(op);
}
