#include "filelist/rename_dialog_win32.h"

#include "app/dialog_place_win32.h"
#include "app/message_map_win32.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "filelist/rename.h"
#include "resources/resource.h"

// What the rename dialog handles; the dialog manager does the rest.
static const MessageEntry<RenameDialog> kRenameDialogMessages[] = {
    {WM_INITDIALOG, &RenameDialog::OnInitDialog},
    {WM_COMMAND, &RenameDialog::OnCommand},
};

bool RenameDialog::Ask(HWND owner, std::string* newName) {
  UserWait wait;
  if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RENAME), owner, &RenameDialog::Procedure,
                      reinterpret_cast<LPARAM>(this)) != IDOK)
    return false;
  *newName = newName_;
  return true;
}

INT_PTR CALLBACK RenameDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<RenameDialog*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<RenameDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  LRESULT result = 0;
  return self && DispatchMessageTo(self, kRenameDialogMessages, message, wParam, lParam, &result) ? result : FALSE;
}

LRESULT RenameDialog::OnInitDialog(WPARAM, LPARAM) {
  CenterOverOwner(hwnd_);
  HWND edit = GetDlgItem(hwnd_, IDC_NEW_NAME);
  WideText name = WideFromDevice(oldName_);
  SetWindowTextW(edit, name.c_str());
  // The part before the extension, as Explorer selects it.
  size_t dot = name.rfind(L'.');
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, dot == WideText::npos || dot == 0 ? -1 : static_cast<LPARAM>(dot));
  return FALSE;   // the focus is set
}

LRESULT RenameDialog::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK: {
      HWND edit = GetDlgItem(hwnd_, IDC_NEW_NAME);
      int length = GetWindowTextLengthW(edit);
      WideText typed(length + 1, L'\0');
      typed.resize(GetWindowTextW(edit, &typed[0], length + 1));
      switch (CheckNewName(HostFromWide(typed), HostFromWide(WideFromDevice(oldName_)), oldName_, &newName_)) {
        case NewName::kRefused:
          Show(kNameRefused, kErrorStyle);
          SetFocus(edit);
          SendMessageW(edit, EM_SETSEL, 0, -1);
          break;
        case NewName::kUnchanged:
          EndDialog(hwnd_, IDCANCEL);
          break;
        case NewName::kGood:
          EndDialog(hwnd_, IDOK);
          break;
      }
      return TRUE;
    }
    case IDCANCEL:
      EndDialog(hwnd_, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}
