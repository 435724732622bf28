#include "app/operation_hooks_win32.h"

#include "app/platform_win32.h"
#include "app/settings_store.h"

namespace {

const char kNoShutdown[] = "P/ECEへの書き込み中です。";
const wchar_t kSessionClass[] = L"QuilletSession";

// Before the main window exists (the start-up write) a hidden top-level
// window answers the end of the session for the process, and carries the
// reason it is refused.
LRESULT CALLBACK SessionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool noMainWindow = !TheWin32Platform().MainWindow();
  switch (message) {
    case WM_QUERYENDSESSION:
      return noMainWindow ? !TheOperations().BlocksSessionEnd() : TRUE;
    case WM_ENDSESSION:
      if (wParam && noMainWindow) {   // what a close saves, but the window's place
        SaveLruList();
        SaveSettings();
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND SessionWindow() {
  static HWND window = nullptr;
  if (window) return window;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &SessionProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kSessionClass;
  RegisterClassW(&windowClass);
  window = CreateWindowExW(WS_EX_TOOLWINDOW, kSessionClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  return window;
}

}  // namespace

// A long write must not be cut off by the PC going to sleep.
void WindowOperationHooks::KeepAwake(bool awake) {
  SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

void WindowOperationHooks::Began() { TheWin32Platform().OperationBegan(); }

void WindowOperationHooks::BeganWriting() {
  HWND main = TheWin32Platform().MainWindow();
  blocking_ = main ? main : SessionWindow();
  if (blocking_) ShutdownBlockReasonCreate(blocking_, WideFromDevice(kNoShutdown).c_str());
}

void WindowOperationHooks::Ended() {
  if (blocking_) ShutdownBlockReasonDestroy(blocking_);
  blocking_ = nullptr;
  if (afterEach_) afterEach_();
}

void WindowOperationHooks::RunQueuedLater() {
  if (HWND main = TheWin32Platform().MainWindow()) PostMessageW(main, kRunQueued, 0, 0);
}

void WindowOperationHooks::Close() {
  int code;
  if (TheWin32Platform().TakeQuit(&code)) {
    PostQuitMessage(code);
  } else if (HWND main = TheWin32Platform().MainWindow()) {
    EndDialog(main, IDCANCEL);
  }
}

void InstallOperationHooks(void (*afterEach)()) {
  static WindowOperationHooks hooks(afterEach);
  TheOperations().SetHooks(&hooks);
  AddCallObserver(&TheOperations());
}
