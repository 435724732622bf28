// Writing files named on the command line, and a second start handing its
// command line to the running instance.
#include <algorithm>

#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

TEST_F(QuilletTest, CommandLineAndHandOverWriteTheirFiles) {
  CreateDirectoryA((home_ + "\\my files").c_str(), nullptr);
  const std::string game = home_ + "\\my files\\GAME.PEX", blank = home_ + "\\my files\\My Game.pex";
  WriteFile(game, "game bytes");
  WriteFile(blank, "b");
  WriteFile(home_ + "\\a.pex", "aaa");
  piecesim::PutFile(0, "old.pex", "old");
  ASSERT_TRUE(Start("\"" + game + "\""));   // written before the window's listing, and selected
  EXPECT_EQ((Strings{"*    10 game.pex", "     3 old.pex"}), Items());
  Strings log = piecesim::CallLog();
  auto write = std::find_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("ismPFFSWrite(game.pex", 0) == 0; });
  EXPECT_TRUE(std::any_of(write, log.end(), [](const std::string& l) { return l.rfind("ismPFFSDir", 0) == 0; }));
  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
  std::string ini = ReadFile(IniPath());

  // The second start waits while the first writes, and its box answered.
  std::wstring line = Wide("Quillet.exe \"" + blank + "\" " + home_ + "\\a.pex");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION second{};
  ASSERT_TRUE(CreateProcessW(Wide(ProgramFolder() + "Quillet.exe").c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &second));
  ASSERT_TRUE(Answer(Box(text::kBlankInName), IDOK));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.hProcess, kWaitMs));
  CloseHandle(second.hProcess), CloseHandle(second.hThread);
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(WaitItems({"*     3 a.pex", "    10 game.pex", "     3 old.pex"}));
  EXPECT_EQ(ini, ReadFile(IniPath())) << "the second start touches no settings";

  // Another program's tag is refused.
  COPYDATASTRUCT record{0x12345678, 5, const_cast<char*>("x.pex")};
  DWORD_PTR answer = 1;
  SendMessageTimeoutW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), 0, kWaitMs, &answer);
  EXPECT_EQ(0u, answer);
  ASSERT_TRUE(Close());
  EXPECT_NE(std::string::npos, ReadFile(IniPath()).find("[lru]\r\nfile0=old.pex\r\nfile1=game.pex\r\nfile2=a.pex\r\ncount=3\r\n"));
}

}  // namespace
}  // namespace e2e
