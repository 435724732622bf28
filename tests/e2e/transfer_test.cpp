// Writing files named on the command line, with swap-out when the flash is
// full, and a second start handing its command line to the running
// instance, and the end of the Windows session saving what a close saves.
// The host paths hold characters that neither code page 932 nor 1252 has,
// and so has the swap folder that the settings file names.
#include "tests/e2e/quillet_fixture.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace e2e {
namespace {

TEST_F(QuilletTest, CommandLineSwapAndHandOverWriteTheirFiles) {
  const std::string folder = home_ + u8"\\H\u00e9l\u00e8ne \u30bd\u30d5\u30c8\\", swap = home_ + u8"\\H\u00e9l\u00e8ne swap\\";
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  CreateDirectoryW(Wide(swap).c_str(), nullptr);
  WriteFile(folder + "GAME.PEX", std::string(200, 'g'));
  WriteFile(folder + "My Game.pex", "b");
  WriteFile(folder + u8"\u30bd\u30a2\u30e9.pex", "soara");
  // A file in UTF-16, as the program keeps one on a system without code page 932.
  std::wstring ini = L"\xFEFF[config]\r\nmode=1\r\nfolder=" + Wide(swap) + L"\r\nwarnoverwr=0\r\nopenfolder=0\r\n";
  WriteFile(IniPath(), std::string(reinterpret_cast<const char*>(ini.data()), ini.size() * 2));
  piecesim::SetState(0, "capacity", "500");
  piecesim::PutFile(0, "ゲーム.pex", std::string(300, 'x'));
  piecesim::PutFile(0, "old.pex", "old");
  ASSERT_TRUE(Start("\"" + folder + "GAME.PEX\""));   // written before the window's listing, and selected
  EXPECT_EQ((Strings{"*   200 game.pex", "     3 old.pex"}), Items());
  EXPECT_EQ(std::string(300, 'x'), ReadFile(swap + u8"\u30b2\u30fc\u30e0.pex")) << "swapped out under its name";
  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
  std::string settings = IniText();

  // The second start waits while the first writes, and its box answered.
  PROCESS_INFORMATION second = Launch("\"" + folder + "My Game.pex\" \"" + folder + u8"\u30bd\u30a2\u30e9.pex\" \"" + folder + "GAME.PEX\"");
  ASSERT_TRUE(second.hProcess);
  ASSERT_TRUE(Answer(Box(text::kBlankInName), IDOK));
  ASSERT_TRUE(Answer(Box("3件中2件を書き込みました。\nMy Game.pex"), IDOK)) << "what was left out, at the end";
  EXPECT_TRUE(Ends(second));
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(WaitItems({"*   200 game.pex", "     3 old.pex", "*     5 ソアラ.pex"}));
  EXPECT_EQ(settings, IniText()) << "the second start touches no settings";

  // Another program's tag is refused, and so is a record longer than any
  // command line.
  std::string longest(32767 * 2 + 1, 'x');
  for (COPYDATASTRUCT record : {COPYDATASTRUCT{0x12345678, 5, const_cast<char*>("x.pex")},
                                COPYDATASTRUCT{0x4C495571, static_cast<DWORD>(longest.size()), &longest[0]}}) {
    DWORD_PTR answer = 1;
    SendMessageTimeoutW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), 0, kWaitMs, &answer);
    EXPECT_EQ(0u, answer);
  }
  // The session ends with Quillet in the tray: it saves what a close would.
  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
  EXPECT_TRUE(Ends(RunCommand("wineboot.exe --end-session")));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, kWaitMs));
  const std::string lru = "[lru]\r\nfile0=old.pex\r\nfile1=ソアラ.pex\r\nfile2=game.pex\r\ncount=3\r\n";
  EXPECT_NE(std::string::npos, IniText().find(lru));
  EXPECT_NE(std::string::npos, IniText().find("[position]\r\nleft="));
  // A name lost on the way in would come back at the end of the list.
  ASSERT_TRUE(Start() && Close());
  EXPECT_NE(std::string::npos, IniText().find(lru)) << "the LRU list over a restart";
}

// Starts at the same moment, as Explorer makes them for several selected
// files, with no Quillet running: one becomes the working instance, the
// others hand their files to it and end; each file is written once.
TEST_F(QuilletTest, StartsAtOnceMakeOneWorkingInstance) {
  std::vector<PROCESS_INFORMATION> starts;
  for (const char* name : {"a.pex", "b.pex", "c.pex", "d.pex", "e.pex"}) {
    WriteFile(home_ + "\\" + name, name);
    starts.push_back(Launch("\"" + home_ + "\\" + name + "\""));
  }
  auto running = [&] {
    return std::count_if(starts.begin(), starts.end(), [](const PROCESS_INFORMATION& p) { return WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT; });
  };
  EXPECT_TRUE(WaitUntil([&] { return piecesim::ListFiles(0).size() == 5 && running() == 1; }));
  std::string writes;
  for (const std::string& line : piecesim::CallLog()) writes += line.rfind("ismPFFSWrite", 0) == 0 ? line.substr(13, 1) : "";
  std::sort(writes.begin(), writes.end());
  EXPECT_EQ("abcde", writes) << "each file written once";
  for (const PROCESS_INFORMATION& p : starts) {
    if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) process_ = p;
    else CloseHandle(p.hProcess), CloseHandle(p.hThread);
  }
  EXPECT_TRUE(WaitUntil([&] { return (main_ = FindDialog(process_.dwProcessId, 1000, 1000)) && Items().size() == 5; }));
  EXPECT_TRUE(Close());
}

// A device that takes 8 s for a 512 KB file: the window answers another
// process throughout, the title and the progress window show how far the
// writing has got, a second start is answered at once, shows as waiting,
// and its file is written after, and 中止 ends the writing after the file
// in flight without closing the window.
TEST_F(QuilletTest, ASlowDeviceKeepsTheWindowAnswering) {
  piecesim::SetState(0, "rate", "65536");
  piecesim::SetState(0, "capacity", "1048576");
  WriteFile(home_ + "\\big.pex", std::string(512 * 1024, 'b'));
  for (const char* name : {"b.pex", "c.pex", "d.pex"}) WriteFile(home_ + "\\" + name, "x");
  ASSERT_TRUE(Start());
  piecesim::ClearCallLog();
  std::atomic<bool> pinging{true};
  std::atomic<DWORD> worst{0};
  auto ping = [&] {
    for (DWORD_PTR r; pinging; Sleep(50)) {
      DWORD sent = GetTickCount();
      SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
      worst = (std::max)(worst.load(), GetTickCount() - sent);
    }
  };
  std::thread pinger(ping);
  auto quoted = [&](const char* name) { return "\"" + home_ + "\\" + name + "\" "; };
  PROCESS_INFORMATION first = Launch(quoted("big.pex") + quoted("b.pex") + quoted("c.pex"));
  EXPECT_TRUE(WaitUntil([&] { return Title() == "Quillet - 書き込み中 1/3 big.pex"; }, 3000));
  HWND progress = FindDialog(process_.dwProcessId, 1101, 3000);
  ASSERT_TRUE(progress);
  EXPECT_EQ("進行状況 書き込み中 1/3: big.pex", Text(progress) + " " + Text(GetDlgItem(progress, 1101)));
  EXPECT_TRUE(Ends(Launch(quoted("d.pex")), 4000)) << "a second start is answered at once";
  EXPECT_TRUE(WaitUntil([&] { return Text(GetDlgItem(progress, 1105)) == "待機中: 1件"; }, 2000));
  PostMessageW(GetDlgItem(progress, IDCANCEL), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));   // 中止
  PostMessageW(GetDlgItem(progress, IDCANCEL), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(Ends(first));
  EXPECT_TRUE(WaitItems({"524288 big.pex", "*     1 d.pex"}));
  EXPECT_EQ("Quillet - 524287 bytes free", Title()) << "the title is the listing's again";
  pinging = false;
  pinger.join();
  EXPECT_LT(worst.load(), 1000u) << "the longest ping";
  // What the library saw, as at full speed: the writing stopped after
  // big.pex (the LRU list's read, the writing, the list's read), then d.pex.
  std::string calls;
  for (const std::string& line : piecesim::CallLog()) calls += line.substr(0, line.find_first_of(",)")) + " ";
  EXPECT_EQ("ismExit( ismInitEx(0 ismPFFSDir(8192 ismExit( ismExit( ismInitEx(0 ismPFFSWrite(big.pex ismExit( "
            "ismExit( ismInitEx(0 ismPFFSDir(8192 ismExit( ismExit( ismInitEx(0 ismPFFSDir(8192 ismExit( ismExit( ismInitEx(0 "
            "ismPFFSWrite(d.pex ismExit( ismExit( ismInitEx(0 ismPFFSDir(8192 ismExit( ", calls);

  // A quick write opens no progress window.
  PROCESS_INFORMATION quick = Launch(quoted("b.pex"));
  EXPECT_FALSE(FindDialog(process_.dwProcessId, 1101, 1500));
  EXPECT_TRUE(Ends(quick));

  // A device that stops answering: a quit that comes during its call waits
  // for the call, the window answering meanwhile; once the call runs later
  // than 3 s and its file's size at 4 KB/s (4 s here), the close asks
  // whether to end without it, and Yes ends at once with the settings saved.
  piecesim::SetState(0, "rate", "2");
  WriteFile(home_ + "\\e.pex", std::string(4096, 'e'));
  PROCESS_INFORMATION third = Launch(quoted("e.pex"));
  ASSERT_TRUE(WaitUntil([&] { return Title() == "Quillet - 書き込み中 1/1 e.pex"; }));
  worst = 0;
  pinging = true;
  pinger = std::thread(ping);
  PostMessageW(main_, WM_QUIT, 0, 0);
  WaitUntil([] { return false; }, 3000);
  pinging = false;
  pinger.join();
  EXPECT_LT(worst.load(), 1000u) << "the longest ping after the quit";
  PostMessageW(main_, WM_CLOSE, 0, 0);   // and 中止 did not close the window before
  ASSERT_TRUE(Answer(Box("P/ECEが応答しません。書き込み中のファイルは不完全なまま残るかもしれません。\nQuilletを終了しますか？"), IDYES));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 1000));
  EXPECT_NE(std::string::npos, IniText().find("[lru]\r\nfile0=big.pex\r\nfile1=d.pex\r\nfile2=b.pex\r\ncount=3\r\n[config]"));
  // The second start still waited for its file: it now writes it itself.
  TerminateProcess(third.hProcess, 1);
  CloseHandle(third.hProcess), CloseHandle(third.hThread);
}

// What a write left on the device is checked: a file the listing shows
// short is offered to be written again. A close during a write that is slow
// but not late for its size waits for it.
TEST_F(QuilletTest, WritesAreChecked) {
  WriteFile(home_ + "\\a.pex", "program a");
  WriteFile(home_ + "\\big.pex", std::string(200 * 1024, 'b'));
  // A second start waits for its file to be written, here not for it.
  auto handOver = [&](const char* name) { Ends(Launch("\"" + home_ + "\\" + name + "\""), 0); };
  ASSERT_TRUE(Start());
  piecesim::SetState(0, "shortwrites", "1");
  handOver("a.pex");
  HWND question = Box("書き込んだファイルを確認できませんでした。もう一度書き込みますか？\na.pex");
  ASSERT_TRUE(question);
  piecesim::SetState(0, "shortwrites", "0");
  ASSERT_TRUE(Answer(question, IDYES));
  std::string bytes;
  EXPECT_TRUE(WaitUntil([&] { return piecesim::GetFile(0, "a.pex", &bytes) && bytes == "program a"; }));

  piecesim::SetState(0, "rate", "29257");   // 200 KB in 7 s
  handOver("big.pex");
  EXPECT_TRUE(WaitUntil([&] { return Title().find("big.pex") != std::string::npos; }));
  WaitUntil([] { return false; }, 3500);
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, kWaitMs)) << "no question stops the close";
  EXPECT_TRUE(piecesim::GetFile(0, "big.pex", &bytes) && bytes.size() == 200 * 1024);
}

}  // namespace
}  // namespace e2e
