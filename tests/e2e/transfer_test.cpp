// Writing files through the real program: paths on the command line, the
// hand-over from a second start, transfer lists, swap-out into the swap
// folder, and hand-over messages that are malformed or hostile.
#include <stdio.h>

#include <string>
#include <thread>
#include <vector>

#include "stand-ins/pieceif/simulator.h"
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

constexpr ULONG_PTR kTag = 0x4C495571;   // "qUIL"

class TransferTest : public QuilletTest {
 protected:
  void SetUp() override {
    QuilletTest::SetUp();
    files_ = SimHome() + "\\host";
    CreateDirectoryA(files_.c_str(), nullptr);
  }

  // A host file with the given bytes; returns its path.
  std::string HostFile(const std::string& name, const std::string& bytes) {
    std::string path = files_ + "\\" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);
    }
    return path;
  }

  std::string DeviceFile(const std::string& name) {
    std::string bytes;
    return piecesim::GetFile(0, name, &bytes) ? bytes : "<missing>";
  }

  std::vector<std::string> SelectedNames() {
    std::vector<std::string> names;
    std::vector<std::string> items = ListItems();
    for (int i : SelectedIndexes()) {
      std::string text = items[i];
      size_t cut = text.find_last_of(' ');
      names.push_back(text.substr(cut + 1));
    }
    return names;
  }

  // Starts a second Quillet with args and waits for it to end.
  bool SecondStart(const std::string& args, DWORD* exitCode) {
    std::string line = "\"" + ProgramPath() + "\" " + args;
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION second{};
    if (!CreateProcessA(ProgramPath().c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, ProgramFolder().c_str(), &startup, &second))
      return false;
    bool ended = WaitForSingleObject(second.hProcess, kWaitMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(second.hProcess, 1);
    GetExitCodeProcess(second.hProcess, exitCode);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    return ended;
  }

  LRESULT HandOver(ULONG_PTR tag, const std::string& text, DWORD ms = 30000) {
    COPYDATASTRUCT record;
    record.dwData = tag;
    record.cbData = static_cast<DWORD>(text.size());
    record.lpData = text.empty() ? nullptr : const_cast<char*>(text.data());
    DWORD_PTR answer = 0xdead;
    if (!SendMessageTimeoutA(Main(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), 0, ms,
                             &answer))
      return -1;
    return static_cast<LRESULT>(answer);
  }

  // Answers up to count boxes on another thread while the test waits for a
  // synchronous hand-over: Abort where there is one, else OK.
  std::thread AnswerBoxes(int count, DWORD ms = 3000) {
    return std::thread([this, count, ms] {
      for (int i = 0; i < count; ++i) {
        HWND box = WaitBox([](const std::string&) { return true; }, ms);
        if (!box) return;
        Answer(box, GetDlgItem(box, IDABORT) ? IDABORT : IDOK);
      }
    });
  }

  // The window exists before its first listing: wait for the listing.
  bool WaitListed() {
    return WaitMainWindow() &&
           WaitUntil([&] { return Title().rfind("Quillet - ", 0) == 0; });
  }

  std::string Items() {
    std::string out;
    for (const std::string& i : ListItems()) out += "[" + i + "]";
    return out + " title " + Title();
  }

  std::string files_;
};

TEST_F(TransferTest, CommandLinePathIsWrittenBeforeTheWindowAndShowsSelected) {
  piecesim::PutFile(0, "old.pex", "old");
  std::string path = HostFile("GAME.PEX", "game bytes");
  ASSERT_TRUE(Launch("\"" + path + "\""));
  ASSERT_TRUE(WaitListed());
  ASSERT_TRUE(WaitListItems({"    10 game.pex", "     3 old.pex"})) << Items();
  EXPECT_EQ(SelectedNames(), std::vector<std::string>{"game.pex"});
  EXPECT_EQ(DeviceFile("game.pex"), "game bytes");
  // The write comes before the window's own listing, the last one.
  std::vector<std::string> log = CallLog();
  int write = -1, lastDir = -1;
  for (int i = 0; i < static_cast<int>(log.size()); ++i) {
    if (log[i].rfind("ismPFFSWrite(game.pex", 0) == 0) write = i;
    if (log[i].rfind("ismPFFSDir(", 0) == 0) lastDir = i;
  }
  EXPECT_GE(write, 0);
  EXPECT_LT(write, lastDir);
  Close();
  EXPECT_TRUE(WaitExit());
  EXPECT_EQ(IniValue("lru", "file0"), "old.pex");
  EXPECT_EQ(IniValue("lru", "file1"), "game.pex");
}

TEST_F(TransferTest, SecondStartHandsItsPathsToTheHiddenFirst) {
  ASSERT_TRUE(Launch());
  ASSERT_TRUE(WaitListed());
  SysCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }));

  std::string a = HostFile("a.pex", "aaa");
  std::string b = HostFile("My Game.pex", "bb");
  DWORD code = 0;
  // A name with a blank is refused with a box that the first instance shows;
  // the second start waits for the whole transfer.
  std::thread answerer = AnswerBoxes(1, kWaitMs);
  ASSERT_TRUE(SecondStart("\"" + b + "\" " + a, &code));
  answerer.join();

  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_EQ(DeviceFile("a.pex"), "aaa");
  EXPECT_EQ(DeviceFile("my game.pex"), "<missing>");
  ASSERT_TRUE(WaitListItems({"     3 a.pex"})) << Items();
  EXPECT_EQ(SelectedNames(), std::vector<std::string>{"a.pex"});
  // The second start neither read nor wrote the settings file.
  EXPECT_EQ(ReadIni(), "");
  Close();
  EXPECT_TRUE(WaitExit());
}

TEST_F(TransferTest, TransferListWritesTheFilesItNames) {
  CreateDirectoryA((files_ + "\\sub").c_str(), nullptr);
  HostFile("one.pex", "1");
  HostFile("sub\\two.PEX", "22");
  std::string list = HostFile("set.pfs", "one.pex\r\n\r\nsub\\two.PEX  \r\n");
  ASSERT_TRUE(Launch("\"" + list + "\""));
  ASSERT_TRUE(WaitListed());
  EXPECT_EQ(DeviceFile("one.pex"), "1");
  EXPECT_EQ(DeviceFile("sub\\two.pex"), "22");
  EXPECT_EQ(DeviceFile("set.pfs"), "<missing>");
}

// Top-level windows of any process whose title is the given folder name:
// the shell's window on an opened folder.
struct FolderSearch {
  std::string title;
  bool close;
  int count;
};

BOOL CALLBACK MatchFolderWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<FolderSearch*>(p);
  if (IsWindowVisible(w) && WindowText(w) == s->title) {
    ++s->count;
    if (s->close) PostMessageA(w, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

int FolderWindows(const std::string& title, bool close) {
  FolderSearch search{title, close, 0};
  EnumWindows(MatchFolderWindow, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

std::string HostBytes(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return "<missing>";
  std::string bytes;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

TEST_F(TransferTest, FullFlashInSwapModeMovesOldFilesToTheSwapFolder) {
  std::string swap = SimHome() + "\\swap\\";
  CreateDirectoryA(swap.c_str(), nullptr);
  FolderWindows("swap", true);
  WriteIni("[config]\r\nmode=1\r\nfolder=" + swap + "\r\nwarnoverwr=1\r\nopenfolder=1\r\n"
           "[lru]\r\ncount=3\r\nfile0=c.pex\r\nfile1=a.pex\r\nfile2=b.pex\r\n");
  piecesim::SetState(0, "capacity", "3000");
  piecesim::PutFile(0, "a.pex", std::string(1000, 'a'));
  piecesim::PutFile(0, "b.pex", std::string(1000, 'b'));
  piecesim::PutFile(0, "c.pex", std::string(1000, 'c'));
  std::string big1 = HostFile("big1.pex", std::string(1800, 'g'));
  std::string big2 = HostFile("big2.pex", std::string(900, 'h'));
  ASSERT_TRUE(Launch("\"" + big1 + "\" \"" + big2 + "\""));
  ASSERT_TRUE(WaitListed());
  ASSERT_TRUE(WaitListItems({"  1800 big1.pex", "   900 big2.pex"})) << Items();
  EXPECT_TRUE(MessageBoxes().empty());
  // The least recently written went first, each copy whole, each gone from
  // the device only once copied.
  EXPECT_EQ(HostBytes(swap + "c.pex"), std::string(1000, 'c'));
  EXPECT_EQ(HostBytes(swap + "a.pex"), std::string(1000, 'a'));
  EXPECT_EQ(HostBytes(swap + "b.pex"), std::string(1000, 'b'));
  std::vector<std::string> reads;
  for (const std::string& line : CallLog())
    if (line.rfind("ismPFFSRead(", 0) == 0) reads.push_back(line.substr(12, 5));
  EXPECT_EQ(reads, (std::vector<std::string>{"c.pex", "a.pex", "b.pex"}));
  // The folder opened once for the whole transfer.
  EXPECT_TRUE(WaitUntil([&] { return FolderWindows("swap", false) >= 1; }));
  Sleep(500);
  EXPECT_EQ(FolderWindows("swap", true), 1);
  Close();
  EXPECT_TRUE(WaitExit());
  EXPECT_EQ(IniValue("lru", "count"), "2");
  EXPECT_EQ(IniValue("lru", "file0"), "big1.pex");
}

TEST_F(TransferTest, HostileHandOverTexts) {
  ASSERT_TRUE(Launch());
  ASSERT_TRUE(WaitListed());
  piecesim::ClearCallLog();

  // Another program's tag is refused and nothing is done.
  EXPECT_EQ(HandOver(0x12345678, "x.pex"), 0);
  EXPECT_TRUE(CallLog().empty()) << CallLog().front();

  // An empty text: brought back and refreshed, nothing written.
  EXPECT_EQ(HandOver(kTag, ""), 1);
  EXPECT_EQ(CountCalls("ismPFFSWrite"), 0);
  EXPECT_GE(CountCalls("ismPFFSDir"), 1);

  // Every byte value, and a zero byte that ends the text early: only the
  // path before it is written.
  std::string real = HostFile("real.pex", "r");
  std::string text = "\"" + real + "\"";
  text += '\0';
  text += HostFile("after.pex", "z");
  EXPECT_EQ(HandOver(kTag, text), 1);
  EXPECT_EQ(DeviceFile("real.pex"), "r");
  EXPECT_EQ(DeviceFile("after.pex"), "<missing>");

  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c != '"') all += static_cast<char>(c);
  // Whatever those bytes name does not exist: each attempt ends in a box
  // answered with Abort, which ends the transfer.
  std::thread answerer = AnswerBoxes(5);
  EXPECT_EQ(HandOver(kTag, all), 1);
  answerer.join();

  // A path of 300 characters is refused, never cut.
  std::string longPath = files_ + "\\" + std::string(300 - files_.size() - 1, 'L');
  std::thread refuser([this] {
    HWND b = WaitBox("ファイルの書き込みに失敗しました。");
    if (b) Answer(b, IDIGNORE);
  });
  EXPECT_EQ(HandOver(kTag, longPath), 1);
  refuser.join();

  // A 1 MiB text of blanks and one real path.
  std::string huge(1 << 20, ' ');
  std::string last = HostFile("last.pex", "L");
  huge.replace(huge.size() - last.size() - 1, last.size(), last);
  EXPECT_EQ(HandOver(kTag, huge), 1);
  EXPECT_EQ(DeviceFile("last.pex"), "L");

  EXPECT_TRUE(Responsive());
  std::vector<std::string> files = piecesim::ListFiles(0);
  EXPECT_EQ(files, (std::vector<std::string>{"real.pex", "last.pex"}));
  Close();
  EXPECT_TRUE(WaitExit());
}

}  // namespace
}  // namespace e2e
