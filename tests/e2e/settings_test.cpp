// The settings dialog from the system menu, and the file associations its
// buttons make, down to opening a .pex from the shell.
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
  SendMessageW(GetDlgItem(dialog, 1004), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\swap here\\"));
  SendMessageW(GetDlgItem(dialog, 1009), BM_CLICK, 0, 0);
  Click(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

  PostMessageW(main_, WM_SYSCOMMAND, 100, 0);
  ASSERT_TRUE(dialog = FindDialog(process_.dwProcessId, 1003));
  EXPECT_EQ("C:\\swap here\\", Text(GetDlgItem(dialog, 1004)));
  EXPECT_EQ("111111", swapControls());
  Click(dialog, 1011);   // associate: acts at once, and Cancel does not undo it
  ASSERT_TRUE(Answer(Box(text::kRegistered), IDOK));
  EXPECT_EQ("\"" + ProgramFolder() + "Quillet.exe\" \"%1\"", Registry("KorvaSE\\shell\\open\\command"));
  EXPECT_EQ("KorvaSE", Registry(".pex"));
  Click(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

  WriteFile(home_ + "\\First.PEX", "program one");
  EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", (home_ + "\\First.PEX").c_str(), nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_TRUE(WaitItems({"*    11 first.pex"})) << "the shell's start handed the file to this instance";
  ASSERT_TRUE(Close());
  EXPECT_NE(std::string::npos, IniText().find("[config]\r\nmode=1\r\nfolder=C:\\swap here\\\r\nwarnoverwr=1\r\n"
                                                        "openfolder=1\r\nbeep=1\r\n"));
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "KorvaSE");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pex");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pfs");
}

}  // namespace
}  // namespace e2e
