#include "pause/pause_window_win32.h"

#include "app/message_map_win32.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "pause/pause_blink.h"
#include "resources/resource.h"

// What the PAUSE window handles besides its steps; the dialog manager does
// the rest.
static const MessageEntry<PauseWindow> kPauseWindowMessages[] = {
    {WM_TIMER, &PauseWindow::OnTimer},
    {WM_KEYDOWN, &PauseWindow::OnKeyDown},
    {WM_DESTROY, &PauseWindow::OnDestroy},
};

namespace {
const wchar_t kTextWindowProperty[] = L"QuilletPauseWindow";
}  // namespace

PauseWindow::PauseWindow() : ModalDialog(IDD_PAUSE) {}

bool PauseWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return DispatchDialogMessage(this, kPauseWindowMessages, message, wParam, lParam, result);
}

// Key presses that reach the text control are the window's: any key ends the
// pause whichever of the two has the focus. The control asks for every key,
// so that the dialog manager does not keep Tab and the arrows for itself.
LRESULT CALLBACK PauseWindow::TextProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<PauseWindow*>(GetPropW(hwnd, kTextWindowProperty));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_KEYDOWN:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | CallWindowProcW(self->previousTextProc_, hwnd, message, wParam, lParam);
    default:
      return CallWindowProcW(self->previousTextProc_, hwnd, message, wParam, lParam);
  }
}

bool PauseWindow::OnInit() {
  blinkCount = 0;
  text_ = Item(IDC_PAUSE_TEXT);
  if (text_) {
    SetPropW(text_, kTextWindowProperty, this);
    previousTextProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PauseWindow::TextProcedure)));
  }
  SetTimer(Handle(), kPauseTimerId, kPauseTimerMs, nullptr);
  return true;   // the dialog manager sets the default focus
}

LRESULT PauseWindow::OnTimer(WPARAM, LPARAM) {
  int count = blinkCount++;
  if (const char* text = PauseTextAtTick(count)) SetDlgItemTextW(Handle(), IDC_PAUSE_TEXT, WideFromDevice(text).c_str());
  return TRUE;
}

LRESULT PauseWindow::OnKeyDown(WPARAM, LPARAM) {
  End(IDOK);
  return TRUE;
}

LRESULT PauseWindow::OnDestroy(WPARAM, LPARAM) {
  KillTimer(Handle(), kPauseTimerId);
  if (text_ && previousTextProc_) {
    SetWindowLongPtrW(text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousTextProc_));
    RemovePropW(text_, kTextWindowProperty);
  }
  return FALSE;   // the default destruction follows
}

void RunPauseWindow(HWND owner) {
  UserWait wait;
  PauseWindow().Run(owner ? owner : TheWin32Platform().MainWindow());
}
