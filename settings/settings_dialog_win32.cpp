#include "settings/settings_dialog_win32.h"

#include "app/folder_browser_win32.h"
#include "app/platform_win32.h"
#include "resources/resource.h"
#include "settings/file_types.h"
#include "settings/settings_text.h"

// The buttons that act at once; OK and Cancel are the base's. The three
// association buttons' results are not used, and Cancel does not undo them.
const SettingsDialog::Button SettingsDialog::kButtons[] = {
    {IDC_MODE_MESSAGE, &SettingsDialog::OnModeMessage},
    {IDC_MODE_SWAP, &SettingsDialog::OnModeSwap},
    {IDC_BROWSE, &SettingsDialog::BrowseSwapFolder},
    {IDC_REGISTER, &SettingsDialog::OnRegister},
    {IDC_UNREGISTER, &SettingsDialog::OnUnregister},
    {IDC_REFRESH_ICONS, &SettingsDialog::OnRefreshIcons},
};

namespace {

const int kSwapControls[] = {IDC_FOLDER_LABEL, IDC_FOLDER, IDC_BROWSE, IDC_WARNOVERWR,
                             IDC_OPENFOLDER};

// The folder is host text.
WideText WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return WideText();
  WideText text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace

SettingsDialog::SettingsDialog() : ModalDialog(IDD_SETTINGS) {}

bool SettingsDialog::OnInit() {
  ExchangeData(false);
  EnableSwapControls(mode);
  return true;   // the default focus
}

void SettingsDialog::OnRegister() { RegisterFileTypes(); }
void SettingsDialog::OnUnregister() { UnregisterFileTypes(); }
void SettingsDialog::OnRefreshIcons() { RefreshShellIcons(); }

bool SettingsDialog::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return false;
  for (const Button& button : kButtons) {
    if (button.id == id) {
      (this->*button.handler)();
      return true;
    }
  }
  return false;
}

bool SettingsDialog::ExchangeData(bool save) {
  HWND edit = GetDlgItem(Handle(), IDC_FOLDER);
  if (!save) {
    CheckRadioButton(Handle(), IDC_MODE_MESSAGE, IDC_MODE_SWAP,
                     mode ? IDC_MODE_SWAP : IDC_MODE_MESSAGE);
    SetWindowTextW(edit, WideFromHost(folder).c_str());
    SendMessageW(edit, EM_LIMITTEXT, kFolderTextLimit, 0);
    CheckDlgButton(Handle(), IDC_WARNOVERWR, warnoverwr ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_OPENFOLDER, openfolder ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_BEEP, beep ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_VERIFY, verify ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_TRACE, trace ? BST_CHECKED : BST_UNCHECKED);
    return true;
  }

  int newMode = IsDlgButtonChecked(Handle(), IDC_MODE_SWAP) == BST_CHECKED ? 1 : 0;
  WideText newFolder = WindowText(edit);
  if (newFolder.size() > static_cast<size_t>(kFolderTextLimit)) {
    Show(TextLimitMessage(kFolderTextLimit), kErrorStyle);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
  }
  mode = newMode;
  folder = HostFromWide(newFolder);
  warnoverwr = IsDlgButtonChecked(Handle(), IDC_WARNOVERWR) == BST_CHECKED ? 1 : 0;
  openfolder = IsDlgButtonChecked(Handle(), IDC_OPENFOLDER) == BST_CHECKED ? 1 : 0;
  beep = IsDlgButtonChecked(Handle(), IDC_BEEP) == BST_CHECKED ? 1 : 0;
  verify = IsDlgButtonChecked(Handle(), IDC_VERIFY) == BST_CHECKED ? 1 : 0;
  trace = IsDlgButtonChecked(Handle(), IDC_TRACE) == BST_CHECKED ? 1 : 0;
  return true;
}

void SettingsDialog::EnableSwapControls(int enable) {
  for (int id : kSwapControls) EnableWindow(GetDlgItem(Handle(), id), enable ? TRUE : FALSE);
}

void SettingsDialog::BrowseSwapFolder() {
  std::string folder;
  if (BrowseForFolder(Handle(), nullptr, HostFromWide(WindowText(GetDlgItem(Handle(), IDC_FOLDER))), &folder))
    SetDlgItemTextW(Handle(), IDC_FOLDER, WideFromHost(folder).c_str());
}
