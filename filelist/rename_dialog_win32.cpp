#include "filelist/rename_dialog_win32.h"

#include "app/operations.h"
#include "app/platform_win32.h"
#include "filelist/rename.h"
#include "resources/resource.h"

RenameDialog::RenameDialog(const std::string& oldName) : ModalDialog(IDD_RENAME), oldName_(oldName) {}

bool RenameDialog::Ask(HWND owner, std::string* newName) {
  UserWait wait;
  if (Run(owner) != IDOK) return false;
  *newName = newName_;
  return true;
}

bool RenameDialog::OnInit() {
  HWND edit = Item(IDC_NEW_NAME);
  WideText name = WideFromDevice(oldName_);
  SetWindowTextW(edit, name.c_str());
  // The part before the extension, as Explorer selects it.
  size_t dot = name.rfind(L'.');
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, dot == WideText::npos || dot == 0 ? -1 : static_cast<LPARAM>(dot));
  return false;   // the focus is set
}

bool RenameDialog::OnOk() {
  HWND edit = Item(IDC_NEW_NAME);
  int length = GetWindowTextLengthW(edit);
  WideText typed(length + 1, L'\0');
  typed.resize(GetWindowTextW(edit, &typed[0], length + 1));
  switch (CheckNewName(HostFromWide(typed), HostFromWide(WideFromDevice(oldName_)), oldName_, &newName_)) {
    case NewName::kRefused:
      Show(kNameRefused, kErrorStyle);
      SetFocus(edit);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      return false;
    case NewName::kUnchanged:
      End(IDCANCEL);
      return false;
    default:
      return true;
  }
}
