// The settings dialog (template 131): the user settings and the three
// file-association buttons. The opener copies AppSettings into the fields,
// runs DoModal and copies them back when it returns IDOK.
#ifndef QUILLET_SETTINGS_SETTINGS_DIALOG_WIN32_H
#define QUILLET_SETTINGS_SETTINGS_DIALOG_WIN32_H

#include <string>

#include "app/modal_dialog_win32.h"

class SettingsDialog : public ModalDialog {
 public:
  SettingsDialog();

  int mode = 0;   // 0: report a full flash; 1: swap files out
  std::string folder;
  int warnoverwr = 0;
  int openfolder = 0;
  int beep = 0;
  int verify = 0;
  int trace = 0;

  // IDOK when the user confirmed (the fields then hold the new values),
  // IDCANCEL otherwise, also when the dialog could not be made.
  INT_PTR DoModal(HWND owner) { return Run(owner) == IDOK ? IDOK : IDCANCEL; }

  // The five swap controls, enabled exactly while "swap files" is chosen.
  void EnableSwapControls(int enable);
  void BrowseSwapFolder();

 protected:
  bool OnInit() override;
  bool OnOk() override { return ExchangeData(true); }
  bool OnCommand(int id, int code) override;

 private:
  void OnModeMessage() { EnableSwapControls(0); }
  void OnModeSwap() { EnableSwapControls(1); }
  void OnRegister();
  void OnUnregister();
  void OnRefreshIcons();
  // Fills the controls from the fields, or reads them back (false when a
  // control's text is refused; the fields are then unchanged).
  bool ExchangeData(bool save);

  struct Button {
    int id;
    void (SettingsDialog::*handler)();
  };
  static const Button kButtons[];
};

#endif
