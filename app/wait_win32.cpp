// The window thread while the device works. Every library call runs on the
// device thread (device/pieceif_library_win32.cpp); meanwhile the window
// thread waits here, as under a modal box: the window is painted, its
// timers and the tray icon's messages are handled and it can be moved,
// sized or closed, and its system menu opened, but the user's keys and clicks are dropped, so that
// nothing else starts. Escape is the one key that counts: it asks the
// operation under way to stop after its file in flight, where it can, and
// is used up. Dropped files and messages that other threads or processes
// send (a hand-over, a shutdown query, WM_SETCURSOR) reach the window
// procedures, which ask app/operations.h whether they run now or wait.
// Sleeps of the core wait here too, so a beep's handshake keeps the window
// alive.
//
// A long operation's progress goes to the title ("Quillet - 書き込み中 3/12
// game.pex") and the taskbar button once it has run for half a second, and
// to the progress window once a second has passed since its first library
// call. A close asked for while a call runs is carried out after the
// operation, unless the call runs late for its size (CallLimitMs): then the
// main window asks whether to end without it.
#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>

#include "app/operations.h"
#include "app/platform_win32.h"
#include "app/messages.h"
#include "device/library_call.h"

namespace {

constexpr DWORD kTitleDelayMs = 500;    // the title's progress, after the operation's start
constexpr DWORD kWindowDelayMs = 1000;  // the progress window, after its first library call
constexpr DWORD kWindowTickMs = 500;    // the time left and what waits, while it is open

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The time from elapsed to a moment at, 0 when it has come.
DWORD Until(DWORD at, DWORD elapsed) { return elapsed >= at ? 0 : at - elapsed; }

}  // namespace

void Win32Platform::OperationBegan() { anyCall_ = lateCloseAsked_ = false; }

void Win32Platform::Wait(HANDLE event, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  bool outerCall = event && !inCall_;
  if (outerCall) inCall_ = true, callStart_ = start;
  if (outerCall && !anyCall_) anyCall_ = true, firstCall_ = start;
  ++waiting_;
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (!event && elapsed >= milliseconds) break;
    DWORD timeout = event ? INFINITE : milliseconds - elapsed;
    DWORD woke = MsgWaitForMultipleObjectsEx(event ? 1 : 0, event ? &event : nullptr, (std::min)(timeout, NextWake()),
                                             QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (event && woke == WAIT_OBJECT_0) break;
    ApplyProgress(false);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The loop that waits for a quit is outside this one: it is kept for
      // the end of the operation, and the window goes on answering.
      if (msg.message == WM_QUIT) {
        quit_ = true, quitCode_ = static_cast<int>(msg.wParam);
        if (TheOperations().Running()) TheOperations().RequestClose();
      } else if (TakeWhileWaiting(msg) && !(window_.Owns(msg.hwnd) && window_.TakeInput(&msg))) {
        DispatchMessageW(&msg);
      }
    }
  }
  --waiting_;
  if (outerCall) inCall_ = false;
  int code;
  if (!TheOperations().Running() && TakeQuit(&code)) PostQuitMessage(code);
}

// The next moment the loop must wake for: the title's progress, the
// progress window's opening and its ticks, a call late for a close.
DWORD Win32Platform::NextWake() const {
  DWORD now = GetTickCount(), next = INFINITE;
  if (const LibraryCall* call = CallForLateClose()) next = Until(CallLimitMs(*call) + 1, now - callStart_);
  if (progressDepth_ == 0 || step_.name.empty()) return next;
  if (!progressShown_ && mainWindow_) next = (std::min)(next, Until(kTitleDelayMs, now - progressStart_));
  if (window_.IsOpen()) {
    next = (std::min)(next, kWindowTickMs);
  } else if (ProgressWindowWillOpen()) {
    // Only for a window that will open: past its moment, waking at once for
    // one that will not would spin this thread through every call.
    next = (std::min)(next, Until(kWindowDelayMs, now - firstCall_));
  }
  return next;
}

// The call under way while a close waits for the operation's end, until
// the close has been offered to end Quillet.
const LibraryCall* Win32Platform::CallForLateClose() const {
  return inCall_ && !lateCloseAsked_ && TheOperations().ClosePending() ? CallUnderWay() : nullptr;
}

// Once the operation has made a call, where its kind has a progress window.
bool Win32Platform::ProgressWindowWillOpen() const {
  const OperationKind* kind = TheOperations().Current();
  return anyCall_ && kind && kind->progressWindow;
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
// but on the progress window, where they are a stop (its 中止, Escape);
// Escape is a stop too (used up), Alt+F4 and the close box a close,
// dropped files a request. Moving and sizing a window start nothing.
bool Win32Platform::TakeWhileWaiting(const MSG& msg) {
  Arrival arrival = window_.Owns(msg.hwnd) ? Arrival::kStop : Arrival::kCommand;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam != VK_ESCAPE || arrival == Arrival::kStop) break;
      TheOperations().RequestStop();
      return false;
    case WM_SYSKEYDOWN:
      if (msg.wParam == VK_F4) arrival = Arrival::kClose;
      break;
    case WM_DROPFILES:
      arrival = Arrival::kRequest;
      break;
    case WM_NCLBUTTONDOWN:
      // The system menu opens too, for its report; what else it offers
      // refuses while the operation runs.
      if (msg.wParam == HTCAPTION || msg.wParam == HTSYSMENU || (msg.wParam >= HTLEFT && msg.wParam <= HTBOTTOMRIGHT))
        return true;
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
  step_ = ProgressStep();
}

void Win32Platform::ShowProgress(const ProgressStep& step) {
  step_ = step;
  ApplyProgress(true);
}

// The late close comes due; the progress shows in the title and on the
// taskbar once the operation has run long enough, and then each change of
// it; the window opens once a second has passed since the operation's first
// library call, where its kind has one (the drag loop keeps its own
// feedback), and follows.
void Win32Platform::ApplyProgress(bool changed) {
  DWORD now = GetTickCount();
  const LibraryCall* call = CallForLateClose();
  if (call && mainWindow_ && now - callStart_ > CallLimitMs(*call)) {
    lateCloseAsked_ = true;
    PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
  }
  if (progressDepth_ == 0 || step_.name.empty()) return;
  const OperationKind* kind = TheOperations().Current();
  if (!window_.IsOpen() && ProgressWindowWillOpen() && now - firstCall_ >= kWindowDelayMs) window_.Open(mainWindow_);
  if (window_.IsOpen()) window_.Show(step_, now - firstCall_, TheOperations().Waiting(), kind && kind->stoppable);
  if (!mainWindow_ || (progressShown_ ? !changed : now - progressStart_ < kTitleDelayMs)) return;
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
  SetWindowTextW(mainWindow_, WideFromDevice(std::string(kAppTitle) + " - " + StepTitle(step_)).c_str());
  if (taskbar_) taskbar_->SetProgressValue(mainWindow_, step_.bytesDone, step_.bytesTotal ? step_.bytesTotal : 1);
}

void Win32Platform::EndProgress() {
  if (progressDepth_ == 0 || --progressDepth_ > 0) return;
  window_.Close();
  if (progressShown_ && mainWindow_) SetWindowTextW(mainWindow_, titleBefore_.c_str());
  if (taskbar_) {
    taskbar_->SetProgressState(mainWindow_, TBPF_NOPROGRESS);
    taskbar_->Release();
    taskbar_ = nullptr;
  }
  progressShown_ = false;
}
