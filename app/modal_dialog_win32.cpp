#include "app/modal_dialog_win32.h"

#include "app/dialog_place_win32.h"

INT_PTR ModalDialog::Run(HWND owner) {
  INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &ModalDialog::Procedure,
                                   reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result == -1 ? IDCANCEL : result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      if (self->placed_) CenterOverOwner(hwnd);
      return self->OnInit();
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (self->OnOk()) self->End(IDOK);
          return TRUE;
        case IDCANCEL:
          self->OnCancel();
          return TRUE;
        default:
          if (self->OnCommand(LOWORD(wParam), HIWORD(wParam))) return TRUE;
      }
      break;
  }
  LRESULT result = 0;
  if (!self->OnMessage(message, wParam, lParam, &result)) return FALSE;
  // These few give their answer as the procedure's own result; the others
  // through the dialog's message result.
  switch (message) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}
