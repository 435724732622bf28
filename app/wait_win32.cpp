// The window thread while the device works. Every library call runs on the
// device thread (device/pieceif_library_win32.cpp); meanwhile the window
// thread waits here, as under a modal box: the window is painted, its
// timers and the tray icon's messages are handled and it can be moved,
// sized or closed, but the user's keys and clicks are dropped, so that
// nothing else starts. Escape is the one key that counts: it asks the
// operation under way to stop after its file in flight, where it can, and
// is used up. Dropped files and messages that other threads or processes
// send (a hand-over, a shutdown query, WM_SETCURSOR) reach the window
// procedures, which ask app/operations.h whether they run now or wait.
// Sleeps of the core wait here too, so a beep's handshake keeps the window
// alive.
//
// A long operation's progress goes to the title ("Quillet - 書き込み中 3/12
// game.pex") and the taskbar button once it has run for half a second.
#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>

#include "app/operations.h"
#include "app/platform_win32.h"
#include "app/messages.h"

namespace {

constexpr DWORD kProgressDelayMs = 500;

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

void Win32Platform::Wait(HANDLE event, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  bool outerCall = event && !inCall_;
  if (outerCall) inCall_ = true, callStart_ = start;
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
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The loop that waits for a quit is outside this one: it is kept for
      // the end of the operation, and the window goes on answering.
      if (msg.message == WM_QUIT) {
        quit_ = true, quitCode_ = static_cast<int>(msg.wParam);
        if (TheOperations().Running()) TheOperations().RequestClose();
      } else if (TakeWhileWaiting(msg)) {
        DispatchMessageW(&msg);
      }
    }
  }
  --waiting_;
  if (outerCall) inCall_ = false;
  int code;
  if (!TheOperations().Running() && TakeQuit(&code)) PostQuitMessage(code);
}

DWORD Win32Platform::CallElapsed() const { return inCall_ ? GetTickCount() - callStart_ : 0; }

bool Win32Platform::TakeQuit(int* code) {
  if (!quit_) return false;
  quit_ = false;
  *code = quitCode_;
  return true;
}

// The input that comes during a call is what it would start (operations
// decide what becomes of it): the user's keys and clicks are commands,
// Escape is a stop (used up), Alt+F4 and the close box a close, dropped
// files a request. Moving and sizing the window start nothing.
bool Win32Platform::TakeWhileWaiting(const MSG& msg) {
  Arrival arrival = Arrival::kCommand;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam != VK_ESCAPE) break;
      TheOperations().RequestStop();
      return false;
    case WM_SYSKEYDOWN:
      if (msg.wParam == VK_F4) arrival = Arrival::kClose;
      break;
    case WM_DROPFILES:
      arrival = Arrival::kRequest;
      break;
    case WM_NCLBUTTONDOWN:
      if (msg.wParam == HTCAPTION || (msg.wParam >= HTLEFT && msg.wParam <= HTBOTTOMRIGHT)) return true;
      if (msg.wParam == HTCLOSE) arrival = Arrival::kClose;
      break;
    case WM_NCMOUSEMOVE:
      return true;
    default:
      if (!IsInput(msg.message)) return true;
  }
  if (Admit(TheOperations().State(), arrival) != Admission::kDrop) return true;
  if (msg.message == WM_DROPFILES) DragFinish(reinterpret_cast<HDROP>(msg.wParam));
  return false;
}

void Win32Platform::BeginProgress() {
  if (progressDepth_++ > 0) return;
  progressStart_ = GetTickCount();
  progressShown_ = false;
  progressText_.clear();
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
  progressShown_ = false;
}
