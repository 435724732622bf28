// The settings dialog (template 131): the five user settings and the three
// file-association buttons. The opener copies AppSettings into the fields,
// runs DoModal and copies them back when it returns IDOK.
#ifndef QUILLET_SETTINGS_SETTINGS_DIALOG_WIN32_H
#define QUILLET_SETTINGS_SETTINGS_DIALOG_WIN32_H

#include <windows.h>

#include <string>

#include "app/message_map_win32.h"

class SettingsDialog {
 public:
  SettingsDialog();

  int mode;          // 0: report a full flash; 1: swap files out
  std::string folder;
  int warnoverwr;
  int openfolder;
  int beep;

  // IDOK when the user confirmed (the fields then hold the new values),
  // IDCANCEL otherwise, also when the dialog could not be made.
  INT_PTR DoModal(HWND owner);

  // The five swap controls, enabled exactly while "swap files" is chosen.
  void EnableSwapControls(int enable);
  void BrowseSwapFolder();

 private:
  friend struct SettingsDialogTables;

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  void OnOK();
  void OnCancel();
  void OnModeMessage();
  void OnModeSwap();
  void OnRegister();
  void OnUnregister();
  void OnRefreshIcons();

  // Fills the controls from the fields, or reads them back (false when a
  // control's text is refused; the fields are then unchanged).
  bool ExchangeData(bool save);

  HWND window_;
};

#endif
