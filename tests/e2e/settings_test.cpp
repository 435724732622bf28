// The settings: read from the settings file at start and written at exit, in
// its order and forms, with the window placed where it was; the settings
// dialog from the system menu, and the file associations its buttons make,
// down to opening a .pex from the shell.
#include "tests/e2e/quillet_fixture.h"

#include <shellapi.h>

namespace e2e {
namespace {

std::string Registry(const char* key) {   // the default value under HKEY_CLASSES_ROOT
  char value[1024] = "";
  LONG size = sizeof value;
  return RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) == ERROR_SUCCESS ? value : "(none)";
}

TEST_F(QuilletTest, SettingsDialogAndAssociations) {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "KorvaSE");
  ASSERT_TRUE(Start());
  PostMessageW(main_, WM_SYSCOMMAND, 100, 0);
  HWND dialog = FindDialog(process_.dwProcessId, 1003);
  ASSERT_TRUE(dialog);
  EXPECT_EQ("設定", Text(dialog));
  EXPECT_FALSE(IsWindowEnabled(main_));
  auto swapControls = [&] {
    std::string enabled;
    for (int id : {1007, 1004, 1005, 1006, 1008, 1009}) enabled += IsWindowEnabled(GetDlgItem(dialog, id)) ? '1' : '0';
    return enabled;
  };
  EXPECT_EQ("000001", swapControls()) << "message mode: the swap controls are off, the beep is not";
  SendMessageW(GetDlgItem(dialog, 1003), BM_CLICK, 0, 0);
  EXPECT_EQ("111111", swapControls());
  SendMessageW(GetDlgItem(dialog, 1004), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\Zo\u00eb swap\\"));
  SendMessageW(GetDlgItem(dialog, 1009), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dialog, 1015), BM_CLICK, 0, 0);   // the trace
  PostMessageW(dialog, WM_COMMAND, 1011, 0);   // a click on associate: acts at once
  ASSERT_TRUE(Answer(Box(text::kRegistered), IDOK));
  EXPECT_EQ("\"" + ProgramFolder() + "Quillet.exe\" \"%1\"", Registry("KorvaSE\\shell\\open\\command"));
  ASSERT_TRUE(Answer(dialog, IDOK));

  WriteFile(home_ + "\\First.PEX", "program one");
  EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", (home_ + "\\First.PEX").c_str(), nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_TRUE(WaitItems({"*    11 first.pex"})) << "the shell's start handed the file to this instance";
  // The trace has each call as it started and as it ended, a failing one
  // with its status.
  piecesim::InjectFault("ismPFFSDelete", 1, 4);
  Key(VK_DELETE);
  ASSERT_TRUE(Answer(Box("ファイルを削除してもよろしいですか？"), IDYES));
  ASSERT_TRUE(Answer(Box(text::kDeleteFailed), IDOK));
  ASSERT_TRUE(Close());
  const std::string log = ReadFile(LogPath());
  const size_t started = log.find(" ismPFFSDelete(\"first.pex\") ...\r\n"), ended = log.find(" ismPFFSDelete(\"first.pex\") = 4 (");
  EXPECT_TRUE(started != std::string::npos && ended != std::string::npos && started < ended) << log;
  EXPECT_EQ(log.size() - 2, log.rfind(" ms)\r\n") + 4) << "the last line ended";
  // The settings are written at the end. The folder's "ë" has no form in
  // code page 932, so even a Japanese system makes the file UTF-16, which
  // keeps it, and the lines written before it.
  const std::string bytes = ReadFile(IniPath());
  ASSERT_EQ(0u, bytes.rfind("\xFF\xFE", 0));
  const std::wstring ini(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  EXPECT_EQ(0u, ini.find(L"[position]\r\nleft="));
  EXPECT_NE(std::wstring::npos, ini.find(L"\r\n[lru]\r\nfile0=first.pex\r\ncount=1\r\n[config]\r\nmode=1\r\n"
                                         L"folder=C:\\Zo\u00eb swap\\\r\nwarnoverwr=1\r\nopenfolder=1\r\nbeep=1\r\ntrace=1\r\n"));
}

TEST_F(QuilletTest, SettingsComeInAndGoOutInTheirOrder) {
  const std::string lru = "[lru]\r\ncount=3\r\nfile0=Startup.PEX\r\nfile1=GAME.PEX\r\nfile2=x.pex\r\nfile3=past.pex\r\n";
  WriteFile(IniPath(), "[position]\r\nleft=500\r\ntop=400\r\nright=210\r\nbottom=160\r\n[config]\r\nmode=2\r\n"
                       "folder=C:\\swap\\\r\nwarnoverwr=0\r\nopenfolder=-1\r\nbeep=7\r\n" + lru);
  ASSERT_TRUE(Start());
  RECT r{}, stored{210, 160, 500, 400};   // a stored rectangle with its sides swapped is used in order
  EXPECT_TRUE(GetWindowRect(main_, &r) && EqualRect(&r, &stored)) << r.left << " " << r.top << " " << r.right << " " << r.bottom;
  // On a monitor of another DPI the window takes the rectangle Windows
  // suggests (a rectangle in the program's own memory, as Windows sends it).
  RECT suggested{230, 170, 530, 420};
  void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(remote && WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr));
  SendMessageW(main_, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(remote));
  EXPECT_TRUE(WaitUntil([&] { return GetWindowRect(main_, &r) && EqualRect(&r, &suggested); }));
  Key(VK_ESCAPE);   // the dialog manager turns it into cancel, which ends the program
  ASSERT_TRUE(WaitForSingleObject(process_.hProcess, kWaitMs) == WAIT_OBJECT_0);

  // Sections are written in the order of the writes; the LRU list less
  // startup.pex, lowered; keys past the count stay. Every value fits the
  // file's code page, so it stays ANSI.
  EXPECT_NE(0u, ReadFile(IniPath()).rfind("\xFF\xFE", 0));
  EXPECT_EQ("[position]\r\nleft=230\r\ntop=170\r\nright=530\r\nbottom=420\r\n[config]\r\nmode=1\r\nfolder=C:\\swap\\\r\n"
            "warnoverwr=0\r\nopenfolder=1\r\nbeep=1\r\n[lru]\r\ncount=2\r\nfile0=game.pex\r\nfile1=x.pex\r\nfile2=x.pex\r\n"
            "file3=past.pex\r\n",
            IniText());
  EXPECT_EQ("<missing>", ReadFile(LogPath())) << "no trace when it is off";
}

}  // namespace
}  // namespace e2e
