#include "settings/settings_dialog_win32.h"

#include "app/dialog_place_win32.h"
#include "app/folder_browser_win32.h"
#include "app/platform_win32.h"
#include "resources/resource.h"
#include "settings/file_types.h"
#include "settings/settings_text.h"

// What the settings dialog handles; the dialog manager does the rest.
struct SettingsDialogTables {
  struct CommandEntry {
    int id;
    void (SettingsDialog::*handler)();
  };
  static const MessageEntry<SettingsDialog> kMessages[];
  static const CommandEntry kCommands[];
};

const MessageEntry<SettingsDialog> SettingsDialogTables::kMessages[] = {
    {WM_INITDIALOG, &SettingsDialog::OnInitDialog},
    {WM_COMMAND, &SettingsDialog::OnCommand},
};

// Button clicks (BN_CLICKED); Enter and Esc arrive as IDOK and IDCANCEL.
const SettingsDialogTables::CommandEntry SettingsDialogTables::kCommands[] = {
    {IDOK, &SettingsDialog::OnOK},
    {IDCANCEL, &SettingsDialog::OnCancel},
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

SettingsDialog::SettingsDialog()
    : mode(0), warnoverwr(0), openfolder(0), beep(0), window_(nullptr) {}

INT_PTR SettingsDialog::DoModal(HWND owner) {
  INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS),
                                   owner, &SettingsDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result == IDOK ? IDOK : IDCANCEL;
}

INT_PTR CALLBACK SettingsDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  SettingsDialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<SettingsDialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  LRESULT result = 0;
  if (!DispatchMessageTo(self, SettingsDialogTables::kMessages, message, wParam, lParam, &result)) {
    return FALSE;
  }
  return result;
}

LRESULT SettingsDialog::OnInitDialog(WPARAM, LPARAM) {
  CenterOverOwner(window_);
  ExchangeData(false);
  EnableSwapControls(mode);
  return TRUE;  // the default focus
}

LRESULT SettingsDialog::OnCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  for (const auto& entry : SettingsDialogTables::kCommands) {
    if (entry.id == LOWORD(wParam)) {
      (this->*entry.handler)();
      return TRUE;
    }
  }
  return FALSE;
}

bool SettingsDialog::ExchangeData(bool save) {
  HWND edit = GetDlgItem(window_, IDC_FOLDER);
  if (!save) {
    CheckRadioButton(window_, IDC_MODE_MESSAGE, IDC_MODE_SWAP,
                     mode ? IDC_MODE_SWAP : IDC_MODE_MESSAGE);
    SetWindowTextW(edit, WideFromHost(folder).c_str());
    SendMessageW(edit, EM_LIMITTEXT, kFolderTextLimit, 0);
    CheckDlgButton(window_, IDC_WARNOVERWR, warnoverwr ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_OPENFOLDER, openfolder ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_BEEP, beep ? BST_CHECKED : BST_UNCHECKED);
    return true;
  }

  int newMode = IsDlgButtonChecked(window_, IDC_MODE_SWAP) == BST_CHECKED ? 1 : 0;
  WideText newFolder = WindowText(edit);
  if (newFolder.size() > static_cast<size_t>(kFolderTextLimit)) {
    Show(TextLimitMessage(kFolderTextLimit), kErrorStyle);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
  }
  mode = newMode;
  folder = HostFromWide(newFolder);
  warnoverwr = IsDlgButtonChecked(window_, IDC_WARNOVERWR) == BST_CHECKED ? 1 : 0;
  openfolder = IsDlgButtonChecked(window_, IDC_OPENFOLDER) == BST_CHECKED ? 1 : 0;
  beep = IsDlgButtonChecked(window_, IDC_BEEP) == BST_CHECKED ? 1 : 0;
  return true;
}

void SettingsDialog::EnableSwapControls(int enable) {
  for (int id : kSwapControls) EnableWindow(GetDlgItem(window_, id), enable ? TRUE : FALSE);
}

void SettingsDialog::BrowseSwapFolder() {
  std::string folder;
  if (BrowseForFolder(window_, nullptr, HostFromWide(WindowText(GetDlgItem(window_, IDC_FOLDER))), &folder))
    SetDlgItemTextW(window_, IDC_FOLDER, WideFromHost(folder).c_str());
}

void SettingsDialog::OnOK() {
  if (ExchangeData(true)) EndDialog(window_, IDOK);
}

void SettingsDialog::OnCancel() { EndDialog(window_, IDCANCEL); }

void SettingsDialog::OnModeMessage() { EnableSwapControls(0); }

void SettingsDialog::OnModeSwap() { EnableSwapControls(1); }

// The three association buttons act at once; Cancel does not undo them.
void SettingsDialog::OnRegister() { RegisterFileTypes(); }

void SettingsDialog::OnUnregister() { UnregisterFileTypes(); }

void SettingsDialog::OnRefreshIcons() { RefreshShellIcons(); }
