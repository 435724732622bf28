// The window thread while the device works. Every library call runs on the
// device thread (device/pieceif_library_win32.cpp); meanwhile the window
// thread waits here, as under a modal box: the window is painted, its
// timers and the tray icon's messages are handled and it can be moved or
// sized, but the user's keys, clicks and drops are dropped, so that nothing
// else starts. Escape is the one key that counts: it asks the writing under
// way to stop after its file in flight, and is used up. Messages that other
// threads or processes send (a hand-over, a shutdown query, WM_SETCURSOR)
// reach the window procedures directly; those look at Waiting(). Sleeps of
// the core wait here too, so a beep's handshake keeps the window alive.
//
// A long operation's progress goes to the title ("Quillet - 書き込み中 3/12
// game.pex") and the taskbar button once it has run for half a second.
#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>

#include "app/platform_win32.h"
#include "filelist/file_list.h"

namespace {

constexpr DWORD kProgressDelayMs = 500;
const char kNoShutdown[] = "P/ECEへの書き込み中です。";

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

void Win32Platform::Wait(HANDLE event, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  bool quit = false;
  int quitCode = 0;
  ++waiting_;
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (!event && elapsed >= milliseconds) break;
    DWORD timeout = event ? INFINITE : milliseconds - elapsed;
    if (progressDepth_ > 0 && !progressShown_ && !progressText_.empty()) {
      DWORD running = GetTickCount() - progressStart_;
      timeout = (std::min)(timeout, running >= kProgressDelayMs ? 0 : kProgressDelayMs - running);
    }
    DWORD woke = MsgWaitForMultipleObjectsEx(event ? 1 : 0, event ? &event : nullptr, timeout, QS_ALLINPUT,
                                             MWMO_INPUTAVAILABLE);
    if (event && woke == WAIT_OBJECT_0) break;
    ApplyProgress(false);
    MSG msg;
    while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT)
        quit = true, quitCode = static_cast<int>(msg.wParam);
      else if (TakeWhileWaiting(msg))
        DispatchMessageW(&msg);
    }
  }
  --waiting_;
  if (quit) PostQuitMessage(quitCode);   // for the loop that waits for it
}

bool Win32Platform::TakeWhileWaiting(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (msg.wParam == VK_ESCAPE && Writing()) stopRequested_ = true;
      return false;
    case WM_DROPFILES:
      DragFinish(reinterpret_cast<HDROP>(msg.wParam));
      return false;
    case WM_NCMOUSEMOVE:
      return true;
    case WM_NCLBUTTONDOWN:   // on the caption or the frame: the window moves or changes size
      return msg.wParam == HTCAPTION || (msg.wParam >= HTLEFT && msg.wParam <= HTBOTTOMRIGHT);
    default:
      return !IsInput(msg.message);
  }
}

void Win32Platform::BeginProgress(bool writes) {
  if (progressDepth_++ > 0) return;
  progressStart_ = GetTickCount();
  progressWrites_ = writes;
  progressShown_ = stopRequested_ = false;
  progressText_.clear();
  if (writes && mainWindow_) ShutdownBlockReasonCreate(mainWindow_, WideFromDevice(kNoShutdown).c_str());
}

void Win32Platform::ShowProgress(const std::string& text, uint64_t bytesDone, uint64_t bytesTotal) {
  progressText_ = text;
  progressDone_ = bytesDone;
  progressTotal_ = bytesTotal;
  ApplyProgress(true);
}

// Shows the progress once the operation has run long enough, and then each
// change of it.
void Win32Platform::ApplyProgress(bool changed) {
  if (progressDepth_ == 0 || progressText_.empty() || !mainWindow_) return;
  if (progressShown_ ? !changed : GetTickCount() - progressStart_ < kProgressDelayMs) return;
  if (!progressShown_) {
    wchar_t title[1024];
    titleBefore_.assign(title, GetWindowTextW(mainWindow_, title, 1024));
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                   reinterpret_cast<void**>(&taskbar_))) &&
        FAILED(taskbar_->HrInit())) {
      taskbar_->Release();
      taskbar_ = nullptr;
    }
    progressShown_ = true;
  }
  SetWindowTextW(mainWindow_, WideFromDevice(std::string(kAppTitle) + " - " + progressText_).c_str());
  if (taskbar_) taskbar_->SetProgressValue(mainWindow_, progressDone_, progressTotal_ ? progressTotal_ : 1);
}

void Win32Platform::EndProgress() {
  if (progressDepth_ == 0 || --progressDepth_ > 0) return;
  if (progressShown_ && mainWindow_) SetWindowTextW(mainWindow_, titleBefore_.c_str());
  if (taskbar_) {
    taskbar_->SetProgressState(mainWindow_, TBPF_NOPROGRESS);
    taskbar_->Release();
    taskbar_ = nullptr;
  }
  if (progressWrites_ && mainWindow_) ShutdownBlockReasonDestroy(mainWindow_);
  progressWrites_ = progressShown_ = stopRequested_ = false;
}

Win32Platform::Action::Action() { ++TheWin32Platform().actionDepth_; }

Win32Platform::Action::~Action() { TheWin32Platform().EndAction(); }

void Win32Platform::EndAction() {
  if (--actionDepth_ == 0 && afterActions_) afterActions_();
}
