// Device operations of the real program: running a .pex, the PAUSE window,
// the beep after F5 and reading files out by dragging them to a drop target.
#include <ole2.h>
#include <shellapi.h>
#include <stdio.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "stand-ins/pieceif/simulator.h"
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

using Items = std::vector<std::string>;

constexpr UINT kPauseTextId = 1008;
const char kPauseWord[] = "ＰＡＵＳＥ";

std::string Item(int size, const std::string& name) {
  char text[128];
  snprintf(text, sizeof text, "%6d %s", size, name.c_str());
  return text;
}

class DeviceOpsTest : public QuilletTest {
 protected:
  void Start(const Items& items) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(WaitMainWindow()) << "no main window";
    ASSERT_TRUE(WaitUntil([&] { return ListItems() == items; })) << ::testing::PrintToString(ListItems());
  }
  // Makes item index the only selected one and the caret item.
  void Select(int index) {
    SendMessageA(List(), LB_SETSEL, FALSE, -1);
    SendMessageA(List(), LB_SETSEL, TRUE, index);
    SendMessageA(List(), LB_SETCARETINDEX, index, FALSE);
  }
  // The point in the middle of an item, in list client coordinates.
  POINT ItemPoint(int index) {
    int height = static_cast<int>(SendMessageA(List(), LB_GETITEMHEIGHT, 0, 0));
    return POINT{30, height * index + height / 2};
  }
  void DoubleClick(int index) {
    POINT p = ItemPoint(index);
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
    PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
  }
  // Shares the program's keyboard state so a held modifier is seen by it.
  void HoldKey(int vk, bool down) {
    DWORD theirs = GetWindowThreadProcessId(Main(), nullptr);
    DWORD ours = GetCurrentThreadId();
    AttachThreadInput(ours, theirs, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    SetKeyboardState(keys);
    AttachThreadInput(ours, theirs, FALSE);
  }
  // The PAUSE window: a dialog of the program holding control 1008.
  HWND FindPauseWindow() {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          HWND w = nullptr;
          while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == ProcessId() && w != Main() && GetDlgItem(w, kPauseTextId) &&
                IsWindowVisible(w))
              return (found = w) != nullptr;
          }
          return false;
        },
        kWaitMs);
    return found;
  }
  static std::string PauseText(HWND window) {
    return WindowText(GetDlgItem(window, kPauseTextId));
  }
  bool WaitPaused(const char* value) {
    return WaitUntil([&] { return piecesim::GetState(0, "paused") == value; });
  }
};

TEST_F(DeviceOpsTest, EnterAndDoubleClickRunAPexButNotWithShiftOrOnOtherFiles) {
  piecesim::PutFile(0, "game.pex", "GAME");
  piecesim::PutFile(0, "notes.txt", "text");
  piecesim::PutFile(0, "SHOUT.PEX", "LOUD");
  Start({Item(4, "SHOUT.PEX"), Item(4, "game.pex"), Item(4, "notes.txt")});

  Select(1);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([] { return piecesim::GetState(0, "lastrun") == "game.pex"; }));
  EXPECT_EQ(3, CountCalls("ismWriteMem("));
  EXPECT_EQ(1, CountCalls("ismAppStart() = 0"));
  EXPECT_EQ(std::string("game.pex") + std::string(24, '\0'),
            piecesim::ReadMemory(0, piecesim::kLauncherNameAddress, 32));

  DoubleClick(0);
  ASSERT_TRUE(WaitUntil([] { return piecesim::GetState(0, "lastrun") == "SHOUT.PEX"; }));

  // Neither with Shift held nor on a file that is no program.
  piecesim::SetState(0, "lastrun", "");
  HoldKey(VK_SHIFT, true);
  Select(1);
  PressKey(VK_RETURN);
  DoubleClick(1);
  Quiesce();
  HoldKey(VK_SHIFT, false);
  DoubleClick(2);
  Select(2);
  PressKey(VK_RETURN);
  Quiesce();
  EXPECT_EQ("", piecesim::GetState(0, "lastrun"));
  EXPECT_EQ(2, CountCalls("ismAppStart() = 0"));
  EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(DeviceOpsTest, PauseBlinksOverTheMainWindowUntilAKeyAndHoldsNoConnection) {
  piecesim::PutFile(0, "game.pex", "GAME");
  Start({Item(4, "game.pex")});

  PressKey(VK_PAUSE);
  HWND pause = FindPauseWindow();
  ASSERT_TRUE(pause) << "no PAUSE window";
  EXPECT_EQ("1", piecesim::GetState(0, "paused"));
  EXPECT_EQ(0, piecesim::OpenConnections());
  EXPECT_FALSE(IsWindowEnabled(Main()));
  EXPECT_EQ("", WindowText(pause));
  LONG style = GetWindowLongA(pause, GWL_STYLE);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);

  // Centred over the main window.
  RECT main, box;
  GetWindowRect(Main(), &main);
  GetWindowRect(pause, &box);
  EXPECT_NEAR((main.left + main.right) / 2, (box.left + box.right) / 2, 2);
  EXPECT_NEAR((main.top + main.bottom) / 2, (box.top + box.bottom) / 2, 2);

  // The word goes blank for a tick and comes back.
  EXPECT_TRUE(WaitUntil([&] { return PauseText(pause).empty(); }, 2500));
  EXPECT_TRUE(WaitUntil([&] { return PauseText(pause) == kPauseWord; }, 1000));

  // A mouse click does nothing; a key on the text control ends it.
  PostMessageA(pause, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(pause, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Sleep(300);
  EXPECT_TRUE(IsWindow(pause) && IsWindowVisible(pause));
  EXPECT_EQ("1", piecesim::GetState(0, "paused"));
  PostMessageA(GetDlgItem(pause, kPauseTextId), WM_KEYDOWN, 'A', 1);
  EXPECT_TRUE(WaitPaused("0"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(pause); }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Main()) != FALSE; }));

  // Again, ended by a function key on the window itself.
  PressKey(VK_PAUSE);
  pause = FindPauseWindow();
  ASSERT_TRUE(pause);
  EXPECT_EQ(kPauseWord, PauseText(pause));
  PostMessageA(pause, WM_KEYDOWN, VK_F2, 1);
  EXPECT_TRUE(WaitPaused("0"));
  EXPECT_EQ(2, CountCalls("ismCmdW(10 01, 2, 0, 0) = 0"));
  EXPECT_EQ(2, CountCalls("ismCmdW(10 00, 2, 0, 0) = 0"));
}

TEST_F(DeviceOpsTest, F5WithBeepPlaysTheToneAndLeavesMemoryAsItWas) {
  uint32_t top = piecesim::kDefaultMemoryTop;
  uint32_t block = (top - 820) & ~3u;
  std::string before;
  for (int i = 0; i < 820; ++i) before += static_cast<char>(i * 13 + 1);
  piecesim::WriteMemory(0, block, before);
  WriteIni("[config]\r\nbeep=1\r\n");
  piecesim::PutFile(0, "game.pex", "GAME");
  Start({Item(4, "game.pex")});
  EXPECT_EQ(0, CountCalls("ismGetVersion"));

  PressKey(VK_F5);
  ASSERT_TRUE(WaitUntil([] { return piecesim::GetState(0, "plays") == "1"; }));
  ASSERT_TRUE(WaitUntil([] { return CountCalls("ismCmdW(10 00, 2, 0, 0) = 0") == 1; }));
  EXPECT_EQ("800", piecesim::GetState(0, "played"));
  EXPECT_EQ(before, piecesim::ReadMemory(0, block, 820));
  EXPECT_EQ("0", piecesim::GetState(0, "paused"));
  EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(DeviceOpsTest, F5WithoutBeepDoesNotTouchTheDeviceMemory) {
  piecesim::PutFile(0, "game.pex", "GAME");
  Start({Item(4, "game.pex")});
  PressKey(VK_F5);
  ASSERT_TRUE(WaitUntil([] { return CountCalls("ismPFFSDir") == 2; }));
  Quiesce();
  EXPECT_EQ(0, CountCalls("ismGetVersion"));
  EXPECT_EQ(0, CountCalls("ismCmdW"));
}

// The OLE and shell functions the drop target needs, loaded at run time so
// the test program links with the user-interface libraries alone.
struct OleCalls {
  HRESULT(WINAPI* initialize)(void*) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
  HRESULT(WINAPI* registerDragDrop)(HWND, IDropTarget*) = nullptr;
  HRESULT(WINAPI* revokeDragDrop)(HWND) = nullptr;
  void(WINAPI* releaseStgMedium)(STGMEDIUM*) = nullptr;
  UINT(WINAPI* dragQueryFile)(HDROP, UINT, char*, UINT) = nullptr;

  OleCalls() {
    HMODULE ole = LoadLibraryA("ole32.dll");
    HMODULE shell = LoadLibraryA("shell32.dll");
    Get(ole, "OleInitialize", &initialize);
    Get(ole, "OleUninitialize", &uninitialize);
    Get(ole, "RegisterDragDrop", &registerDragDrop);
    Get(ole, "RevokeDragDrop", &revokeDragDrop);
    Get(ole, "ReleaseStgMedium", &releaseStgMedium);
    Get(shell, "DragQueryFileA", &dragQueryFile);
  }
  bool ok() const {
    return initialize && uninitialize && registerDragDrop && revokeDragDrop && releaseStgMedium &&
           dragQueryFile;
  }
  template <class F>
  static void Get(HMODULE module, const char* name, F* function) {
    *function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                       : nullptr;
  }
};

const OleCalls& Ole() {
  static const OleCalls calls;
  return calls;
}

// IUnknown and IDropTarget, spelled out so no GUID library is needed.
const GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidDropTarget = {0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A window of this process that accepts OLE drops of files, on a thread of
// its own (the drag loop calls it while the test waits). It copies what it
// gets at once: the program removes its temporary files after the drop.
class DropTarget : public IDropTarget {
 public:
  struct Dropped {
    std::string path, bytes;
  };

  void Start(int x, int y) {
    if (!Ole().ok()) return;
    thread_ = std::thread([this, x, y] { Run(x, y); });
    WaitUntil([this] { return window_.load() != nullptr; });
  }
  void Stop() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
  }
  HWND Window() const { return window_; }
  std::vector<Dropped> Drops() {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
  }
  int drops() const { return drops_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    ++drops_;
    if (data->GetData(&format, &medium) != S_OK) return E_FAIL;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    UINT count = Ole().dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    std::lock_guard<std::mutex> lock(mutex_);
    for (UINT i = 0; i < count; ++i) {
      char path[MAX_PATH] = "";
      Ole().dragQueryFile(drop, i, path, MAX_PATH);
      Dropped d{path, ""};
      HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) d.bytes.append(buffer, got);
        CloseHandle(file);
      }
      dropped_.push_back(d);
    }
    Ole().releaseStgMedium(&medium);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CLOSE) {
      Ole().revokeDragDrop(w);
      DestroyWindow(w);
      return 0;
    }
    if (m == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
  }
  void Run(int x, int y) {
    Ole().initialize(nullptr);
    WNDCLASSA cls = {};
    cls.lpfnWndProc = &DropTarget::Procedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QuilletE2eDropTarget";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
    RegisterClassA(&cls);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, cls.lpszClassName, "drop target", WS_POPUP | WS_VISIBLE,
                             x, y, 200, 200, nullptr, nullptr, cls.hInstance, nullptr);
    Ole().registerDragDrop(w, this);
    window_ = w;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    window_ = nullptr;
    Ole().uninitialize();
  }

  std::thread thread_;
  std::atomic<HWND> window_{nullptr};
  std::mutex mutex_;
  std::vector<Dropped> dropped_;
  std::atomic<int> drops_{0};
};

// Real input through the system's queue, as the drag loop needs it.
void SendKey(WORD vk, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}
void SendButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}
void MoveTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

class DragOutTest : public DeviceOpsTest {
 protected:
  void TearDown() override {
    target.Stop();
    DeviceOpsTest::TearDown();
  }
  // Ctrl+press on item index, drag to the middle of the target, release.
  void DragItemTo(int index, POINT to, bool escapeFirst = false) {
    POINT from = ItemPoint(index);
    ClientToScreen(List(), &from);
    MoveTo(from.x, from.y);
    Sleep(200);
    SendKey(VK_CONTROL, true);
    Sleep(100);
    SendButton(true);
    Sleep(100);
    for (int step = 1; step <= 10; ++step) {
      MoveTo(from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10);
      Sleep(60);
    }
    MoveTo(to.x + 3, to.y + 3);
    Sleep(300);
    if (escapeFirst) {
      SendKey(VK_ESCAPE, true);
      SendKey(VK_ESCAPE, false);
      Sleep(300);
    }
    SendButton(false);
    Sleep(200);
    SendKey(VK_CONTROL, false);
  }
  static std::vector<std::string> TempEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
  }
  std::string TempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return temp;
  }

  DropTarget target;
};

TEST_F(DragOutTest, CtrlDragOfTwoSelectedItemsDeliversTheirBytesAndLeavesNothingBehind) {
  piecesim::PutFile(0, "alpha.pex", "first file");
  piecesim::PutFile(0, "beta.txt", "second, longer");
  piecesim::PutFile(0, "gamma.dat", "third");
  Start({Item(10, "alpha.pex"), Item(14, "beta.txt"), Item(5, "gamma.dat")});
  std::vector<std::string> tempBefore = TempEntries(TempFolder());
  RECT main;
  GetWindowRect(Main(), &main);
  target.Start(main.right + 40, main.top);
  ASSERT_TRUE(target.Window());

  SendMessageA(List(), LB_SETSEL, TRUE, 0);
  SendMessageA(List(), LB_SETSEL, TRUE, 2);
  RECT t;
  GetWindowRect(target.Window(), &t);
  DragItemTo(2, POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2});

  ASSERT_TRUE(WaitUntil([&] { return target.Drops().size() == 2; })) << "nothing dropped";
  std::vector<DropTarget::Dropped> got = target.Drops();
  EXPECT_EQ("alpha.pex", got[0].path.substr(got[0].path.find_last_of('\\') + 1));
  EXPECT_EQ("gamma.dat", got[1].path.substr(got[1].path.find_last_of('\\') + 1));
  EXPECT_EQ("first file", got[0].bytes);
  EXPECT_EQ("third", got[1].bytes);
  // The copies lay in a folder of the drag's own inside the temporary folder.
  EXPECT_EQ(0u, got[0].path.find(TempFolder()));
  EXPECT_NE(TempFolder() + "alpha.pex", got[0].path);
  EXPECT_EQ(2, CountCalls("ismPFFSRead("));

  EXPECT_TRUE(WaitUntil([&] { return TempEntries(TempFolder()) == tempBefore; }))
      << ::testing::PrintToString(TempEntries(TempFolder()));
  EXPECT_EQ((std::vector<int>{0, 2}), SelectedIndexes());
  EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(DragOutTest, EscapeDuringTheDragReadsNothing) {
  piecesim::PutFile(0, "alpha.pex", "first file");
  Start({Item(10, "alpha.pex")});
  RECT main;
  GetWindowRect(Main(), &main);
  target.Start(main.right + 40, main.top);
  ASSERT_TRUE(target.Window());
  Select(0);
  RECT t;
  GetWindowRect(target.Window(), &t);
  DragItemTo(0, POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2}, true);
  Quiesce();
  EXPECT_EQ(0, target.drops());
  EXPECT_EQ(0, CountCalls("ismPFFSRead("));
  EXPECT_EQ((std::vector<int>{0}), SelectedIndexes());
}

TEST_F(DragOutTest, AFailedReadCancelsTheDropAndSaysSoAfterwards) {
  piecesim::PutFile(0, "alpha.pex", "first file");
  piecesim::PutFile(0, "beta.txt", "second");
  Start({Item(10, "alpha.pex"), Item(6, "beta.txt")});
  std::vector<std::string> tempBefore = TempEntries(TempFolder());
  RECT main;
  GetWindowRect(Main(), &main);
  target.Start(main.right + 40, main.top);
  ASSERT_TRUE(target.Window());
  SendMessageA(List(), LB_SETSEL, TRUE, 0);
  SendMessageA(List(), LB_SETSEL, TRUE, 1);
  piecesim::InjectFault("ismPFFSRead", 2, 9);
  RECT t;
  GetWindowRect(target.Window(), &t);
  DragItemTo(0, POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2});

  HWND box = WaitBox("ファイルの読み込みに失敗しました。");
  ASSERT_TRUE(box);
  EXPECT_TRUE(target.Drops().empty());
  EXPECT_EQ(2, CountCalls("ismPFFSRead("));
  EXPECT_TRUE(Answer(box, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return TempEntries(TempFolder()) == tempBefore; }))
      << ::testing::PrintToString(TempEntries(TempFolder()));
}

TEST_F(DragOutTest, DroppingOnItsOwnListWritesNothing) {
  piecesim::PutFile(0, "alpha.pex", "first file");
  piecesim::PutFile(0, "beta.txt", "second");
  Start({Item(10, "alpha.pex"), Item(6, "beta.txt")});
  Select(0);
  POINT to = ItemPoint(1);
  to.y += 40;
  ClientToScreen(List(), &to);
  DragItemTo(0, to);
  ASSERT_TRUE(WaitUntil([] { return CountCalls("ismPFFSRead(") == 1; }));
  Quiesce();
  EXPECT_EQ(0, CountCalls("ismPFFSWrite"));
  EXPECT_EQ((Items{Item(10, "alpha.pex"), Item(6, "beta.txt")}), ListItems());
}

}  // namespace
}  // namespace e2e
