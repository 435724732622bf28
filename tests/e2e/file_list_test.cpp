// The file list window of the real program: its items, title and keys over
// two devices, delete, the tray and the about box; running a .pex and the
// PAUSE window. Each command acts on its item's own file, also where two
// names show alike. (The beep and reading out by Ctrl+drag are in the
// library's flow, which runs on every form of the library.)


#include "tests/e2e/quillet_fixture.h"


namespace e2e {
namespace {

TEST_F(QuilletTest, ListWithItsKeysTrayAndAbout) {
  WriteFile(IniPath(), "");   // an empty settings file counts as new
  piecesim::CreateDevice(1);
  for (const char* name : {"b.pex", "ゲーム.pex", "startup.pex", "A.pex"}) piecesim::PutFile(0, name, std::string(12, 'x'));
  // Two names that show as one character: each item stays its own file.
  for (const char* name : {"\x87\x90.pex", "\x81\xE0.pex"}) piecesim::PutFile(0, name, "1");
  piecesim::PutFile(1, "one.pex", "1");
  ASSERT_TRUE(Start());
  EXPECT_EQ((Strings{"    12 startup.pex", "    12 A.pex", "    12 b.pex", "     1 \x81\xE0.pex", "    12 ゲーム.pex", "     1 \x81\xE0.pex"}),
            Items());
  EXPECT_EQ("Quillet - 262094 bytes free", Title());   // the device's status

  piecesim::PutFile(0, "c.pex", "cc");
  Key(VK_F5);
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 7 && Title() == "Quillet - 262092 bytes free"; }));
  Key(VK_F6);
  EXPECT_TRUE(WaitItems({"     1 one.pex"}));
  EXPECT_EQ("Quillet - 262143 bytes free", Title());
  Key(VK_F6);   // no device 2: back to device 0
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 7; }));

  for (int item : {1, 6}) SendMessageW(List(), LB_SETSEL, TRUE, item);
  Key(VK_DELETE);
  HWND question = Box(text::kDeleteMany);
  ASSERT_TRUE(question);
  // Nothing has changed yet: the session may end (another program then
  // refuses it) at the question.
  DWORD_PTR agreed = 0;
  SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWaitMs, &agreed);
  EXPECT_EQ(1u, agreed);
  SendMessageTimeoutW(main_, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, kWaitMs, &agreed);
  // A second start meanwhile is answered at once and written after the
  // delete, which takes the files selected at the key.
  WriteFile(home_ + "\\0.pex", "0");
  EXPECT_TRUE(Ends(Launch("\"" + home_ + "\\0.pex\"")));
  ASSERT_TRUE(Answer(question, IDYES));
  EXPECT_TRUE(WaitItems({"    12 startup.pex", "*     1 0.pex", "    12 b.pex", "     2 c.pex", "     1 \x81\xE0.pex", "    12 ゲーム.pex"}));
  EXPECT_EQ((Strings{"b.pex", "ゲーム.pex", "startup.pex", "\x81\xE0.pex", "c.pex", "0.pex"}), piecesim::ListFiles(0));

  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_) && !IsIconic(main_); })) << "hidden in the tray";
  piecesim::PutFile(0, "d.pex", "d");
  PostMessageW(main_, WM_APP + 100, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && Title() == "Quillet - 262103 bytes free"; })) << "back with a fresh list";

  PostMessageW(main_, WM_SYSCOMMAND, 101, 0);
  HWND about = FindDialog(process_.dwProcessId, 0xFFFF);
  ASSERT_TRUE(about);
  // The about box lies over the window and is titled as it is: a second
  // start still finds the window, and its file is written at once.
  EXPECT_TRUE(Ends(Launch("\"" + home_ + "\\0.pex\"")));
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 7 && Items()[1] == "*     1 0.pex"; }));
  EXPECT_EQ(0u, Text(GetDlgItem(about, 0xFFFF)).find("Quillet ")) << "the version first";
  EXPECT_EQ("Quillet", Text(about));
  ASSERT_TRUE(Answer(about, IDOK));
  EXPECT_TRUE(Close());
  EXPECT_EQ(GetACP() != 932, ReadFile(IniPath()).rfind("\xFF\xFE", 0) == 0) << "UTF-16 where the code page is not 932";
}

TEST_F(QuilletTest, RunAndPause) {
  WriteFile(IniPath(), "[config]\r\nbeep=1\r\n");
  for (const char* name : {"\x81\xE0.pex", "\x87\x90.pex"}) piecesim::PutFile(0, name, "GAME");   // both show as "≒.pex"
  ASSERT_TRUE(Start());
  SendMessageW(List(), LB_SETCARETINDEX, 1, FALSE);
  Key(VK_RETURN);
  EXPECT_TRUE(WaitUntil([] { return piecesim::Runs(0) == Strings{"\x87\x90.pex"}; }));

  Key(VK_PAUSE);
  HWND pause = FindDialog(process_.dwProcessId, 1008);
  ASSERT_TRUE(pause);
  EXPECT_EQ("1", piecesim::GetState(0, "paused"));
  EXPECT_FALSE(IsWindowEnabled(main_));
  EXPECT_TRUE(WaitUntil([&] { return Text(GetDlgItem(pause, 1008)).empty(); }, 2500)) << "the word blinks";
  EXPECT_TRUE(WaitUntil([&] { return Text(GetDlgItem(pause, 1008)) == text::kPauseWord; }, 1000));
  PostMessageW(GetDlgItem(pause, 1008), WM_KEYDOWN, 'A', 1);   // any key, also on the text
  EXPECT_TRUE(WaitUntil([] { return piecesim::GetState(0, "paused") == "0"; }));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(pause) && IsWindowEnabled(main_); }));
}

}  // namespace
}  // namespace e2e
