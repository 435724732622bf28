// Writing files named on the command line, with swap-out when the flash is
// full, and a second start handing its command line to the running
// instance, and the end of the Windows session saving what a close saves.
// The host paths hold characters that neither code page 932 nor 1252 has,
// and so has the swap folder that the settings file names.
#include "tests/e2e/quillet_fixture.h"

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
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.hProcess, kWaitMs));
  CloseHandle(second.hProcess), CloseHandle(second.hThread);
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
  PROCESS_INFORMATION ending{};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring line = L"wineboot.exe --end-session";
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &ending));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ending.hProcess, kWaitMs));
  CloseHandle(ending.hProcess), CloseHandle(ending.hThread);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, kWaitMs));
  const std::string lru = "[lru]\r\nfile0=old.pex\r\nfile1=ソアラ.pex\r\nfile2=game.pex\r\ncount=3\r\n";
  EXPECT_NE(std::string::npos, IniText().find(lru));
  EXPECT_NE(std::string::npos, IniText().find("[position]\r\nleft="));
  // A name lost on the way in would come back at the end of the list.
  ASSERT_TRUE(Start() && Close());
  EXPECT_NE(std::string::npos, IniText().find(lru)) << "the LRU list over a restart";
}

}  // namespace
}  // namespace e2e
