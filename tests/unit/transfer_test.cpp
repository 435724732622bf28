// Writing to the simulated device: TransferFiles scenario by scenario, the
// LRU list's rules, and SwapOutOne. Library calls are compared in short:
// I connect, D directory, W write, R read, X delete; "~" is the host folder,
// "@" the swap folder, and a non-zero status follows "=". What a transfer
// does when a call fails is also the fault sweep's.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "app/settings_store.h"
#include "device/connection.h"
#include "tests/support/fakes.h"
#include "transfer/lru.h"
#include "transfer/transfer.h"

namespace {

class TransferTest : public SimTest {
 protected:
  void Reset(const Strings& files = {}, uint32_t capacity = piecesim::kDefaultCapacity) {
    SimTest::Reset(files, capacity);
    AppSettings.folder = platform.tempFolder = swap.path() + "/";
  }
  void SetUp() override { SimTest::SetUp(), Reset(); }
  Strings Short() const {
    const std::map<std::string, std::string> letters = {
        {"ismInitEx", "I"}, {"ismPFFSDir", "D"}, {"ismPFFSWrite", "W "}, {"ismPFFSRead", "R "}, {"ismPFFSDelete", "X "}};
    Strings out;
    for (const std::string& line : Calls({"ismInitEx", "ismPFFSDir", "ismPFFSWrite", "ismPFFSRead", "ismPFFSDelete"})) {
      size_t open = line.find('('), close = line.rfind(") = ");
      std::string s = letters.at(line.substr(0, open)), status = line.substr(close + 4);
      if (s.size() > 1) s += line.substr(open + 1, close - open - 1);
      for (auto [from, to] : {std::pair<std::string, std::string>{host.path(), "~"}, {swap.path(), "@"}, {", ", " "}})
        for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, from.size(), to);
      if (s.find("QLS") != std::string::npos) s.replace(s.find("QLS") + 3, 8, "*");   // a private file
      out.push_back(status == "0" ? s : s + " =" + status);
    }
    return out;
  }
  TempDir swap;
};

TEST_F(TransferTest, Scenarios) {
  // Host and device files as "name=bytes"; calls after the reconciliation
  // and the transfer's own connection (I D I).
  // setup: settings, capacity, faults, LRU list.
  struct Row {
    const char* what; std::function<void()> setup; Strings device, files, paths; std::deque<int> answers; Strings boxes, calls, after, lru;
  };
  auto fault = [](const char* f, int nth, int32_t status) { return [=] { piecesim::InjectFault(f, nth, status); }; };
  auto swapMode = [](uint32_t capacity, std::function<void()> more = [] {}) {
    return [=] { AppSettings.mode = true, piecesim::SetState(0, "capacity", std::to_string(capacity)), more(); };
  };
  const std::string deep(228, 'd'), d300(300, 'd'), s50(50, 's');   // ~/<deep>/a.pex: 259 characters
  const std::string aso = u8"\u30a2\u30bdMIX.PEX", so = u8"\u30bd.pex";   // アソ: 0x83 0x41 0x83 0x5C as device text
  std::string so80;
  for (int i = 0; i < 80; ++i) so80 += u8"\u30bd";
  const Row rows[] = {
      {"a name code page 932 cannot hold", [] {}, {}, {u8"H\u00e9l\u00e8ne.pex=H"}, {u8"H\u00e9l\u00e8ne.pex"}, {},
       {text::kWriteFailed}, {}, {}, {}},
      {"a path the system's code page cannot say goes through a stage",
       [&] { platform.ansiCodePage = "CP1252", swap.Write("QLS00000001.tmp", "not ours"); }, {},
       {aso + "=K"}, {aso}, {}, {}, {"W アソmix.pex @/QLS*.tmp"}, {"アソmix.pex=K"}, {"アソmix.pex"}},
      {"a temporary folder too long in its own form stages in its short one", [&] {
         std::string folder = swap.path();
         for (int i = 0; i < 3; ++i) mkdir((folder += "/" + so80).c_str(), 0700);   // 267 characters
         symlink(folder.c_str(), swap.File("SHORT~1").c_str());
         platform.ansiCodePage = "CP1252", platform.tempFolder = folder + "/", platform.shortForms[folder + "/"] = swap.File("SHORT~1/"); }, {},
       {aso + "=K"}, {aso}, {}, {}, {"W アソmix.pex @/SHORT~1/QLS*.tmp"}, {"アソmix.pex=K"}, {"アソmix.pex"}},
      {"blanks in names", [] {}, {}, {"My Game.pex=M", "t\tb.pex=T", "b.pex=B"}, {"My Game.pex", "t\tb.pex", "b.pex"}, {},
       {text::kBlankInName, text::kBlankInName, "3件中1件を書き込みました。\nMy Game.pex\nt\tb.pex"}, {"W b.pex ~/b.pex"}, {"b.pex=B"},
       {"b.pex"}},
      {"startup asked: No, then Yes", [] {}, {}, {"STARTUP.PEX=S"}, {"STARTUP.PEX", "STARTUP.PEX"}, {IDNO, IDYES},
       {text::kStartupWrite, text::kStartupWrite, "2件中1件を書き込みました。\nSTARTUP.PEX"}, {"W startup.pex ~/STARTUP.PEX"},
       {"startup.pex=S"}, {}},
      {"over-long path refused, Retry asks again", [] {}, {}, {deep + "/a.pex=A", deep + "/ab.pex=B", "n.pex=N"},
       {deep + "/a.pex", deep + "/ab.pex", "n.pex"}, {IDRETRY, IDIGNORE}, {text::kWriteFailed, text::kWriteFailed, "3件中2件を書き込みました。\nab.pex"},
       {"W a.pex ~/" + deep + "/a.pex", "W n.pex ~/n.pex"}, {"a.pex=A", "n.pex=N"}, {"a.pex", "n.pex"}},
      {"transfer list", [] {}, {}, {"sub/GAME.PEX=G", "inner.pfs=x", so + "=C", "games.PFS= lead.pex\nsub/GAME.PEX\n\ninner.pfs\nソ.pex  \r\n"},
       {"games.PFS"}, {}, {text::kBlankInName, "4件中3件を書き込みました。\n lead.pex"},
       {"W sub/game.pex ~/sub/GAME.PEX", "W inner.pfs ~/inner.pfs", "W ソ.pex ~/" + so},
       {"sub/game.pex=G", "inner.pfs=x", "ソ.pex=C"}, {"sub/game.pex", "inner.pfs", "ソ.pex"}},
      {"list not opened: Retry, Ignore", [] {}, {}, {"b.pex=B"}, {"missing.pfs", "b.pex"}, {IDRETRY, IDIGNORE},
       {text::kListOpenFailed, text::kListOpenFailed, "2件中1件を書き込みました。\nmissing.pfs"}, {"W b.pex ~/b.pex"}, {"b.pex=B"},
       {"b.pex"}},
      {"Abort inside a list ends everything", fault("ismPFFSWrite", 1, 7), {}, {"a.pex=A", "b.pex=B", "l.pfs=a.pex\nb.pex"},
       {"l.pfs", "b.pex"}, {}, {text::kWriteFailed}, {"W a.pex ~/a.pex =7"}, {}, {}},
      {"swap: three old files in LRU order for one big one", swapMode(1000, [] { LruList = {"c.pex", "a.pex", "b.pex"}; }),
       {"startup.pex=" + s50, "a.pex=" + d300, "b.pex=" + d300, "c.pex=" + d300}, {"big.pex=" + std::string(900, 'B')}, {"big.pex"},
       {}, {}, {"W big.pex ~/big.pex =1005", "R c.pex @/QLS*.tmp", "X c.pex", "W big.pex ~/big.pex =1005",
                "R a.pex @/QLS*.tmp", "X a.pex", "W big.pex ~/big.pex =1005", "R b.pex @/QLS*.tmp", "X b.pex",
                "W big.pex ~/big.pex"},
       {"startup.pex=" + s50, "big.pex=" + std::string(900, 'B')}, {"big.pex"}},
      {"swap: 1006 makes room too", swapMode(1000, fault("ismPFFSWrite", 1, 1006)), {"old=o"}, {"a.pex=A"}, {"a.pex"}, {}, {},
       {"W a.pex ~/a.pex =1006", "R old @/QLS*.tmp", "X old", "W a.pex ~/a.pex"}, {"a.pex=A"}, {"a.pex"}},
      {"swap: nothing but startup.pex", swapMode(100), {"startup.pex=" + s50 + s50}, {"a.pex=" + std::string(60, 'a')}, {"a.pex"},
       {IDIGNORE}, {text::kSwapFailed}, {"W a.pex ~/a.pex =1005"}, {"startup.pex=" + s50 + s50}, {}},
      {"nothing to write", [] {}, {}, {}, {}, {}, {}, {}, {}, {}},
      // With the verify setting every file written is read back.
      {"read back as written", [] { AppSettings.verify = true; }, {}, {"a.pex=A"}, {"a.pex"}, {}, {}, {"W a.pex ~/a.pex", "R a.pex @/QLS*.tmp"},
       {"a.pex=A"}, {"a.pex"}},
      {"read back otherwise: Retry writes again", [] { AppSettings.verify = true, piecesim::SetState(0, "garble", "a.pex"); }, {},
       {"a.pex=A"}, {"a.pex"}, {IDRETRY}, {"a.pexを読み返した内容が書き込んだファイルと違います。"},
       {"W a.pex ~/a.pex", "R a.pex @/QLS*.tmp", "W a.pex ~/a.pex", "R a.pex @/QLS*.tmp"}, {"a.pex=A"}, {"a.pex"}},
      {"not read back: Retry reads again, Ignore leaves it", [] { AppSettings.verify = true, piecesim::InjectFault("ismPFFSRead", 0, 9); },
       {}, {"a.pex=A"}, {"a.pex"}, {IDRETRY, IDIGNORE}, {text::kReadFailed, text::kReadFailed},
       {"W a.pex ~/a.pex", "R a.pex @/QLS*.tmp =9", "R a.pex @/QLS*.tmp =9"}, {"a.pex=A"}, {}},
  };
  for (const Row& r : rows) {
    Reset(r.device);
    for (const std::string& f : r.files) host.Write(f.substr(0, f.find('=')), f.substr(f.find('=') + 1));
    r.setup();
    piecesim::ClearCallLog();
    platform.answers = r.answers;
    PathList paths;
    for (const std::string& p : r.paths) paths.push_back(host.File(p));
    TransferFiles(paths);
    Strings calls = r.paths.empty() ? Strings{} : Strings{"I", "D", "I"}, after;
    calls.insert(calls.end(), r.calls.begin(), r.calls.end());
    for (const std::string& name : piecesim::ListFiles(0)) after.push_back(name + "=" + Device(name));
    EXPECT_EQ(r.boxes, platform.Texts()) << r.what;
    EXPECT_EQ(calls, Short()) << r.what;
    EXPECT_EQ(r.after, after) << r.what;
    EXPECT_EQ(r.lru, LruList) << r.what;
    for (const std::string& name : swap.Entries())   // no private file is left, and no one of the user's taken
      if (name.rfind("QLS", 0) == 0) EXPECT_EQ("not ours", swap.Read(name)) << r.what;
  }
}

TEST_F(TransferTest, ProgressAndAStopAfterAFile) {
  // The steps shown, and the files written when a stop is asked for after
  // the nth: it ends the writing as Abort does, without a box.
  const struct { size_t stopAfter; Strings steps, written; } rows[] = {
      {SIZE_MAX, {"書き込み中 1/3 b.pex 0/6", "書き込み中 2/3 c.pex 2/6", "書き込み中 3/3 a.pex 3/6"}, {"b.pex", "c.pex", "a.pex"}},
      {1, {"書き込み中 1/3 b.pex 0/6"}, {"b.pex"}},   // inside the list
      {2, {"書き込み中 1/3 b.pex 0/6", "書き込み中 2/3 c.pex 2/6"}, {"b.pex", "c.pex"}},
      {SIZE_MAX, {"書き込み中 1/1 big.pex 0/50", "退避中 old.pex 0/50", "書き込み中 1/1 big.pex 0/50"}, {"big.pex"}},
      {2, {"書き込み中 1/1 big.pex 0/50", "退避中 old.pex 0/50"}, {}},   // after the file moved out
  };
  for (const auto& r : rows) {
    const bool swapping = r.steps[0].find("big") != std::string::npos;
    Reset(swapping ? Strings{"old.pex=" + std::string(60, 'o')} : Strings{}, 100);
    swap.Clear();
    AppSettings.mode = true;
    platform.progress.clear(), platform.stopAfter = r.stopAfter;
    for (const char* f : {"a.pex=aaa", "b.pex=bb", "c.pex=c", "l.pfs=b.pex\nc.pex\n"}) host.Write(std::string(f, 5), f + 6);
    PathList paths = swapping ? PathList{host.Write("big.pex", std::string(50, 'B'))} : PathList{host.File("l.pfs"), host.File("a.pex")};
    TheOperations().Start(kinds::kWrite, [&] { TransferFiles(paths); });
    EXPECT_EQ(r.steps, platform.progress) << r.stopAfter;
    EXPECT_EQ(r.written, piecesim::ListFiles(0)) << r.stopAfter;
    EXPECT_TRUE(platform.shown.empty());
  }
  EXPECT_EQ(std::string(60, 'o'), swap.Read("old.pex")) << "moved out before the stop";
}

TEST_F(TransferTest, SwapNeverCopiesOverTheFileBeingWritten) {
  // a.pex is written back from the swap folder while an older a.pex is the
  // least recently written device file; the folder setting spells the
  // folder otherwise than the written path does, or the folder holds the
  // written file under a second name (a hard link).
  ASSERT_EQ(0, symlink(host.path().c_str(), swap.File("alias").c_str()));
  mkdir(swap.File("linked").c_str(), 0700);
  for (const std::string& folder : {host.path() + "/", host.path() + "/./", host.path() + "//",
                                    swap.path() + "/../" + host.path().substr(5) + "/", swap.File("alias") + "/",
                                    swap.File("linked") + "/"}) {
    Reset({"a.pex=" + std::string(50, 'o'), "b.pex=" + std::string(45, 'b')}, 100);   // b.pex's room is needed
    AppSettings = AppSettingsRecord{true, folder, false, false, false};
    const std::string written = host.Write("a.pex", std::string(60, 'n')), linked = swap.File("linked/a.pex");
    unlink(linked.c_str());
    ASSERT_EQ(0, link(written.c_str(), linked.c_str()));
    TransferFiles({written});
    // The user's a.pex is whole and on the device; b.pex made the room.
    EXPECT_EQ((Strings{std::string(60, 'n'), std::string(60, 'n'), std::string(45, 'b')}),
              (Strings{host.Read("a.pex"), Device("a.pex"), Read(folder + "b.pex")})) << folder;
  }
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(TransferTest, LruRules) {
  LruList = {"a", "b", "c"};
  for (const char* name : {"b", "d", "startup.pex", "StartUp.PEX", "A"}) MarkRecentlyUsed(name);
  EXPECT_EQ((Strings{"a", "c", "b", "d", "A"}), LruList);
  // New device files join at the back in directory order (a byte
  // comparison); gone ones leave (ignoring case); startup.pex never stays.
  for (const char* name : {"c", "x", "startup.pex", "b", "Game.pex"}) piecesim::PutFile(0, name, name);
  LruList = {"a", "b", "STARTUP.PEX", "c", "game.pex"};
  ASSERT_TRUE(ReconcileLruList());
  EXPECT_EQ((Strings{"b", "c", "game.pex", "x", "Game.pex"}), LruList);
  piecesim::SetDirText(0, "free\n");
  piecesim::SetState(0, "dirstatus", "9");   // a text, but a failed call
  EXPECT_FALSE(ReconcileLruList());
  EXPECT_EQ(5u, LruList.size());
}

TEST_F(TransferTest, SwapOutOne) {
  struct Row {
    const char* what; std::function<void()> setup; Strings lru; std::string writing; std::deque<int> answers; bool moved; Strings calls, boxes;
  };
  const std::string longFolder = "/" + std::string(220, 'f') + "/";   // swap + it + abcdefghij.pex: 260
  // Each copy is read into a private file beside it first.
  const Row rows[] = {
      {"the front file, copied under its name as host text", [] {}, {"ゲーム", "e"}, "", {}, true,
       {"R ゲーム @/QLS*.tmp", "X ゲーム"}, {}},
      {"overwrite declined", [&] { swap.Write("d", "old"); }, {"d", "e"}, "", {IDNO}, false, {},
       {swap.File("d") + "を上書きしてもよろしいですか？"}},
      {"a failed delete moves on", [] { piecesim::InjectFault("ismPFFSDelete", 1, 9); }, {"d", "e"}, "", {}, true,
       {"R d @/QLS*.tmp", "X d =9", "R e @/QLS*.tmp", "X e"}, {}},
      {"a read that leaves no copy", [] { piecesim::InjectFault("ismPFFSRead", 1, 0); }, {"d", "e"}, "", {}, false,
       {"R d @/QLS*.tmp"}, {}},
      {"a copy that cannot take its place", [&] { platform.moveFails = true; }, {"d", "e"}, "", {}, false, {"R d @/QLS*.tmp"}, {}},
      {"names that leave the folder or cannot be files in it", [] {}, {"..\\d", "sub\\..\\..\\d", "\\d", "/d", "c:d", "sub/..",
       "nul.sav", "q?x", "e"}, "", {}, true, {"R e @/QLS*.tmp", "X e"}, {}},
      {"over-long swap path", [&] { AppSettings.folder += longFolder.substr(1), mkdir(AppSettings.folder.c_str(), 0700); },
       {"abcdefghij.pex", "e"}, "", {}, true, {"R e @/QLS*.tmp", "X e"}, {}},
      {"a written path that does not exist is not the copy's", [] {}, {"a.pex", "e"}, "c:\\swap\\a.pex", {}, true,
       {"R a.pex @/QLS*.tmp", "X a.pex"}, {}},
      {"a folder the system's code page cannot say: through a stage", [&] {
         AppSettings.folder = swap.File(u8"H\u00e9l\u00e8ne") + "/", mkdir(AppSettings.folder.c_str(), 0700); },
       {"d"}, "", {}, true, {"R d @/QLS*.tmp", "X d"}, {}},
  };
  for (const Row& r : rows) {
    Reset();
    swap.Clear();
    for (const std::string& name : r.lru) piecesim::PutFile(0, name, name);
    r.setup();
    DeviceSizes sizes;
    ASSERT_TRUE(ReconcileLruList(&sizes));
    LruList = r.lru;
    platform.answers = r.answers;
    ASSERT_TRUE(ConnectDevice());
    piecesim::ClearCallLog();
    bool opened = false;
    EXPECT_EQ(r.moved, SwapOutOne(opened, sizes, r.writing)) << r.what;
    DisconnectDevice();
    EXPECT_EQ(r.calls, Short()) << r.what;
    EXPECT_EQ(r.boxes, platform.Texts()) << r.what;
    for (const Box& box : platform.shown) EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), box.style);   // Yes the default
    for (const std::string& name : r.lru)   // every device file is on the device or in the folder
      EXPECT_TRUE(piecesim::HasFile(0, name) || Read(AppSettings.folder + HostTextOf(name)) == name) << r.what << ": " << name;
  }
}

}  // namespace
