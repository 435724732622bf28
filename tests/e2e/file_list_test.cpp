// The file list window of the real program: its items, title and keys over
// two devices, delete, the tray and the about box; running a .pex, the PAUSE
// window, the beep after F5, and reading files out by an OLE Ctrl+drag onto a
// drop target of this test's own.


#include "tests/e2e/quillet_fixture.h"

#include <ole2.h>
#include <shellapi.h>

namespace e2e {
namespace {

TEST_F(QuilletTest, ListWithItsKeysTrayAndAbout) {
  piecesim::CreateDevice(1);
  for (const char* name : {"b.pex", "ゲーム.pex", "startup.pex", "A.pex"}) piecesim::PutFile(0, name, std::string(12, 'x'));
  piecesim::PutFile(1, "one.pex", "1");
  ASSERT_TRUE(Start());
  EXPECT_EQ((Strings{"    12 startup.pex", "    12 A.pex", "    12 b.pex", "    12 ゲーム.pex"}), Items());
  EXPECT_EQ("Quillet - 262096 bytes free", Title());   // the device's status

  piecesim::PutFile(0, "c.pex", "cc");
  Key(VK_F5);
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 5 && Title() == "Quillet - 262094 bytes free"; }));
  Key(VK_F6);
  EXPECT_TRUE(WaitItems({"     1 one.pex"}));
  EXPECT_EQ("Quillet - 262143 bytes free", Title());
  Key(VK_F6);   // no device 2: back to device 0
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 5; }));

  for (int item : {1, 3}) SendMessageW(List(), LB_SETSEL, TRUE, item);
  Key(VK_DELETE);
  ASSERT_TRUE(Answer(Box(text::kDeleteMany), IDYES));
  EXPECT_TRUE(WaitItems({"    12 startup.pex", "    12 b.pex", "    12 ゲーム.pex"}));

  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_) && !IsIconic(main_); })) << "hidden in the tray";
  piecesim::PutFile(0, "d.pex", "d");
  PostMessageW(main_, WM_APP + 100, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && Title() == "Quillet - 262107 bytes free"; })) << "back with a fresh list";

  PostMessageW(main_, WM_SYSCOMMAND, 101, 0);
  HWND about = FindDialog(process_.dwProcessId, 0xFFFF);
  ASSERT_TRUE(about);
  std::string lines = Text(GetDlgItem(about, 0xFFFF));
  EXPECT_EQ("\n\n書込：Explorerからドラッグ&ドロップ\n読込：選択済みアイテムの上でCtrlを押しながらExplorerへドラッグ&ドロップ\n"
            "削除：ファイルを選んでDELキー\n実行：pexファイルアイテムをダブルクリック\n更新：F5キーで最新情報に更新\n"
            "切替：F6キーで複数台接続されたP/ECEを選択\nポーズ: Pause/Breakキーを押す",
            lines.substr(lines.find('\n', lines.find('\n') + 1)));
  EXPECT_EQ(0u, lines.find("Quillet "));
  EXPECT_EQ("Quillet", Text(about));
  ASSERT_TRUE(Answer(about, IDOK));
  EXPECT_TRUE(Close());
}

TEST_F(QuilletTest, RunPauseAndBeep) {
  WriteFile(IniPath(), "[config]\r\nbeep=1\r\n");
  piecesim::PutFile(0, "game.pex", "GAME");
  ASSERT_TRUE(Start());
  SendMessageW(List(), LB_SETCARETINDEX, 0, FALSE);
  Key(VK_RETURN);
  EXPECT_TRUE(WaitUntil([] { return piecesim::Runs(0) == Strings{"game.pex"}; }));

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

  Key(VK_F5);
  EXPECT_TRUE(WaitUntil([] { return piecesim::GetState(0, "plays") == "1" && piecesim::GetState(0, "paused") == "0"; }));
}

// A window of this test that takes OLE drops of files, on the test's thread
// (WaitUntil handles its calls), copying each file at once: the program
// removes them after the drop.
struct DropTarget : IDropTarget {
  explicit DropTarget(POINT at) {
    OleInitialize(nullptr);
    window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, at.x, at.y, 200, 200, 0, 0, 0, 0);
    RegisterDragDrop(window, this);
  }
  ~DropTarget() { RevokeDragDrop(window), DestroyWindow(window), OleUninitialize(); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return *effect = DROPEFFECT_COPY, S_OK; }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return *effect = DROPEFFECT_COPY, S_OK; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data->GetData(&format, &medium) != S_OK) return E_FAIL;
    for (UINT i = 0, n = DragQueryFileW(static_cast<HDROP>(medium.hGlobal), ~0u, nullptr, 0); i < n; ++i) {
      wchar_t path[MAX_PATH] = L"";
      DragQueryFileW(static_cast<HDROP>(medium.hGlobal), i, path, MAX_PATH);
      char utf8[MAX_PATH * 3] = "";
      WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
      dropped.push_back(Cp932(wcsrchr(path, L'\\') + 1) + "=" + ReadFile(utf8));
    }
    ReleaseStgMedium(&medium);
    return *effect = DROPEFFECT_COPY, S_OK;
  }
  HWND window;
  Strings dropped;
};

// Input through the system's queue, as the drag loop reads it; the drop
// target answers the drag loop while the test waits.
void Send(DWORD type, DWORD flags, WORD vk = 0, POINT at = {}) {
  INPUT in = {};
  in.type = type;
  if (type == INPUT_KEYBOARD) in.ki.wVk = vk, in.ki.dwFlags = flags;
  else in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE, in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
       in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  WaitUntil([] { return false; }, 100);
}

TEST_F(QuilletTest, CtrlDragReadsTheSelectedFilesOut) {
  piecesim::PutFile(0, "alpha.pex", "first file");
  piecesim::PutFile(0, "beta.txt", "second");
  piecesim::PutFile(0, "ゲーム.pex", "third");
  ASSERT_TRUE(Start());
  RECT main;
  GetWindowRect(main_, &main);
  DropTarget target(POINT{main.right + 40, main.top});
  for (int item : {0, 2}) SendMessageW(List(), LB_SETSEL, TRUE, item);
  int height = static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0));
  POINT from{30, height * 2 + height / 2}, to{main.right + 140, main.top + 100};
  ClientToScreen(List(), &from);
  Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, from);
  Send(INPUT_KEYBOARD, 0, VK_CONTROL);
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN, 0, from);
  for (int step = 1; step <= 10; ++step)
    Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
  Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, POINT{to.x + 3, to.y + 3});
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTUP, 0, to);
  Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_CONTROL);
  ASSERT_TRUE(WaitUntil([&] { return target.dropped.size() == 2; })) << "nothing dropped";
  EXPECT_EQ((Strings{"alpha.pex=first file", "ゲーム.pex=third"}), target.dropped);
  EXPECT_TRUE(WaitItems({"*    10 alpha.pex", "     6 beta.txt", "*     5 ゲーム.pex"})) << "the selection stays";
}

}  // namespace
}  // namespace e2e
