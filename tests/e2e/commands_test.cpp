// The list's menu and Explorer's keys: Shift+F10 and an item chosen by its
// key, Ctrl+A, files copied to the clipboard for another program and pasted
// from it, a backup of the device that writes it back, and F2's rename.
#include "tests/e2e/quillet_fixture.h"

#include <shellapi.h>
#include <shlobj.h>

#include <map>

namespace e2e {
namespace {

using Files = std::map<std::string, std::string>;

Files DeviceFiles() {
  Files files;
  for (const std::string& name : piecesim::ListFiles(0)) piecesim::GetFile(0, name, &files[name]);
  return files;
}

// The paths of the clipboard's file-drop list, in UTF-8.
Strings ClipboardPaths() {
  if (!OpenClipboard(nullptr)) return {};
  Strings paths = DropPaths(GetClipboardData(CF_HDROP));
  CloseClipboard();
  return paths;
}

TEST_F(QuilletTest, MenuKeysClipboardAndBackup) {
  // Saving starts in the user's Documents, here a folder of the test's.
  const std::string documents = home_ + "\\documents";
  auto clear = [&] {   // a folder of its own, afresh
    std::wstring from = Wide(documents) + L'\0';
    SHFILEOPSTRUCTW remove = {};
    remove.wFunc = FO_DELETE, remove.pFrom = from.c_str(), remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&remove);
  };
  clear();
  CreateDirectoryW(Wide(documents).c_str(), nullptr);
  const wchar_t* folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  wchar_t mine[MAX_PATH] = L"";
  DWORD size = sizeof mine;
  RegGetValueW(HKEY_CURRENT_USER, folders, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, nullptr, mine, &size);
  std::wstring test = Wide(documents);
  RegSetKeyValueW(HKEY_CURRENT_USER, folders, L"Personal", REG_SZ, test.c_str(), (test.size() + 1) * 2);
  for (const char* name : {"startup.pex", "ゲーム.pex", "hiscore.dat", "メモ.txt"}) piecesim::PutFile(0, name, name);
  ASSERT_TRUE(Start());

  Chord({VK_CONTROL, 'A'});
  EXPECT_TRUE(WaitItems({"*    11 startup.pex", "*    11 hiscore.dat", "*    10 ゲーム.pex", "*     8 メモ.txt"})) << "Ctrl+A";

  // Ctrl+C: copies of the selected files for another program, which go
  // when the clipboard is emptied.
  SendMessageW(List(), LB_SETSEL, FALSE, -1);
  for (int item : {1, 3}) SendMessageW(List(), LB_SETSEL, TRUE, item);
  Chord({VK_CONTROL, 'C'});
  Strings copies;
  ASSERT_TRUE(WaitUntil([&] { return (copies = ClipboardPaths()).size() == 2; }));
  EXPECT_EQ("hiscore.dat", ReadFile(copies[0]));
  EXPECT_EQ("メモ.txt", ReadFile(copies[1]));
  // Another program holds the clipboard a moment: Ctrl+C waits for it; held
  // longer, Quillet says so and leaves the clipboard as it was.
  for (DWORD held : {1500, 10000}) {
    SendMessageW(List(), LB_SETSEL, FALSE, -1), SendMessageW(List(), LB_SETSEL, TRUE, held > 2000 ? 2 : 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    Chord({VK_CONTROL, 'C'});
    HWND busy = FindDialog(process_.dwProcessId, 0xFFFF, held > 2000 ? 8000 : held, "クリップボードを開けませんでした。");
    CloseClipboard();
    EXPECT_EQ(held > 2000, busy && Answer(busy, IDOK)) << held;
    EXPECT_TRUE(WaitUntil([&] { return (copies = ClipboardPaths()).size() == 1 && ReadFile(copies[0]) == "startup.pex"; }));
  }
  ASSERT_EQ(1u, copies.size());
  OpenClipboard(nullptr), EmptyClipboard(), CloseClipboard();
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(copies[0]) == "<missing>"; }));

  // 実行 runs the selected program with the focus only: a right click on
  // empty space clears the selection, and R (実行(&R)) does nothing.
  SendMessageW(List(), LB_SETCARETINDEX, 2, FALSE);   // ゲーム.pex
  RECT client;
  GetClientRect(List(), &client);
  POINT below{10, client.bottom - 5};
  ClientToScreen(List(), &below);
  PostMessageW(List(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(below.x, below.y));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); })) << "the list's menu";
  Chord({'R'});
  WaitUntil([] { return false; }, 500);
  if (IsWindowVisible(FindWindowW(L"#32768", nullptr))) Chord({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
  EXPECT_EQ(Strings{}, piecesim::Runs(0));

  // Ctrl+V: files another program put on the clipboard are written.
  WriteFile(home_ + "\\new.pex", "pasted");
  std::wstring list = Wide(home_ + "\\new.pex") + L'\0' + L'\0';
  DROPFILES header = {sizeof header, {0, 0}, FALSE, TRUE};
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof header + list.size() * 2);
  char* bytes = static_cast<char*>(GlobalLock(block));
  memcpy(bytes, &header, sizeof header), memcpy(bytes + sizeof header, list.data(), list.size() * 2), GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard(), SetClipboardData(CF_HDROP, block), CloseClipboard();
  Chord({VK_CONTROL, 'V'});
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 5 && Items()[2] == "*     6 new.pex"; }));

  // A backup, then its list handed to Quillet with the device emptied (its
  // files are read by the time the list is written).
  const Files device = DeviceFiles();
  Chord({VK_SHIFT, VK_F10});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); })) << "the list's menu";
  Chord({'B'});   // バックアップ(&B)...
  ASSERT_TRUE(Answer(FindDialog(process_.dwProcessId, IDOK), IDOK));
  EXPECT_TRUE(WaitUntil([&] {
    return ReadFile(documents + "\\backup.pfs") == "startup.pex\r\nhiscore.dat\r\nnew.pex\r\nゲーム.pex\r\nメモ.txt\r\n";
  }));
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  PROCESS_INFORMATION second = Launch("\"" + documents + "\\backup.pfs\"");
  ASSERT_TRUE(Answer(Box(text::kStartupWrite), IDYES));
  EXPECT_TRUE(Ends(second));
  EXPECT_TRUE(WaitUntil([&] { return DeviceFiles() == device; }));
  RegSetKeyValueW(HKEY_CURRENT_USER, folders, L"Personal", REG_EXPAND_SZ, mine, size);
  clear();

  // F2: a Japanese name renamed to another in the dialog; the file keeps its
  // place in the LRU list.
  SendMessageW(List(), LB_SETSEL, FALSE, -1);
  SendMessageW(List(), LB_SETSEL, TRUE, 3);
  Key(VK_F2);
  HWND dialog = FindDialog(process_.dwProcessId, 1014);
  ASSERT_TRUE(dialog);
  EXPECT_EQ("名前の変更", Text(dialog));
  EXPECT_EQ("ゲーム.pex", Text(GetDlgItem(dialog, 1014)));
  DWORD from = 9, to = 9;
  SendMessageW(GetDlgItem(dialog, 1014), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ("0 3", std::to_string(from) + " " + std::to_string(to)) << "the name before its extension is selected";
  SendMessageW(GetDlgItem(dialog, 1014), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u30d1\u30ba\u30eb.PEX"));
  ASSERT_TRUE(Answer(dialog, IDOK));
  EXPECT_TRUE(WaitItems({"    11 startup.pex", "    11 hiscore.dat", "     6 new.pex", "*    10 パズル.pex", "     8 メモ.txt"}));
  EXPECT_EQ("ゲーム.pex", DeviceFiles()["パズル.pex"]) << "its bytes under the new name";
  ASSERT_TRUE(Close());
  EXPECT_NE(std::string::npos, IniText().find("[lru]\r\nfile0=hiscore.dat\r\nfile1=new.pex\r\nfile2=パズル.pex\r\nfile3=メモ.txt\r\ncount=4"));
}

}  // namespace
}  // namespace e2e
