#include "pause/pause_window_win32.h"

#include "app/message_map_win32.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "pause/pause_blink.h"
#include "resources/resource.h"

// What the PAUSE window handles; the dialog manager does the rest.
static const MessageEntry<PauseWindow> kPauseWindowMessages[] = {
    {WM_INITDIALOG, &PauseWindow::OnInitDialog},
    {WM_TIMER, &PauseWindow::OnTimer},
    {WM_KEYDOWN, &PauseWindow::OnKeyDown},
    {WM_COMMAND, &PauseWindow::OnCommand},
    {WM_DESTROY, &PauseWindow::OnDestroy},
};

namespace {
constexpr INT_PTR kEndCode = 1;
const wchar_t kTextWindowProperty[] = L"QuilletPauseWindow";
}  // namespace

INT_PTR PauseWindow::RunModal(HWND owner) {
  if (!owner) owner = TheWin32Platform().MainWindow();
  UserWait wait;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PAUSE), owner,
                         &PauseWindow::Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK PauseWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<PauseWindow*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<PauseWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  LRESULT result = 0;
  if (!DispatchMessageTo(self, kPauseWindowMessages, message, wParam, lParam, &result)) return FALSE;
  return result;
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

void PauseWindow::CenterOverOwner() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  RECT area, own;
  GetWindowRect(hwnd_, &own);
  if (!owner || !GetWindowRect(owner, &area))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int width = own.right - own.left, height = own.bottom - own.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT PauseWindow::OnInitDialog(WPARAM, LPARAM) {
  blinkCount = 0;
  text_ = GetDlgItem(hwnd_, IDC_PAUSE_TEXT);
  if (text_) {
    SetPropW(text_, kTextWindowProperty, this);
    previousTextProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PauseWindow::TextProcedure)));
  }
  CenterOverOwner();
  SetTimer(hwnd_, kPauseTimerId, kPauseTimerMs, nullptr);
  return TRUE;   // the dialog manager sets the default focus
}

LRESULT PauseWindow::OnTimer(WPARAM, LPARAM) {
  int count = blinkCount++;
  if (const char* text = PauseTextAtTick(count)) SetDlgItemTextW(hwnd_, IDC_PAUSE_TEXT, WideFromDevice(text).c_str());
  return TRUE;
}

LRESULT PauseWindow::OnKeyDown(WPARAM, LPARAM) {
  EndDialog(hwnd_, kEndCode);
  return TRUE;
}

// Enter and Esc arrive as the dialog's accept and cancel commands when the
// dialog manager sees them first.
LRESULT PauseWindow::OnCommand(WPARAM wParam, LPARAM) {
  WORD id = LOWORD(wParam);
  if (id != IDOK && id != IDCANCEL) return FALSE;
  EndDialog(hwnd_, kEndCode);
  return TRUE;
}

LRESULT PauseWindow::OnDestroy(WPARAM, LPARAM) {
  KillTimer(hwnd_, kPauseTimerId);
  if (text_ && previousTextProc_) {
    SetWindowLongPtrW(text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousTextProc_));
    RemovePropW(text_, kTextWindowProperty);
  }
  return FALSE;   // the default destruction follows
}

void RunPauseWindow(HWND owner) {
  PauseWindow window;
  window.RunModal(owner);
}
