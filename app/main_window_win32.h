// MainWindow: the program's only main window, a modal dialog from template
// 102 whose client area is the file list; it minimises to the tray.
#ifndef QUILLET_APP_MAIN_WINDOW_WIN32_H
#define QUILLET_APP_MAIN_WINDOW_WIN32_H

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/platform_win32.h"
#include "filelist/file_list_box_win32.h"

// The tray icon's callback message.
constexpr UINT kTrayMessage = WM_APP + 100;
// Runs the hand-overs that came while the device worked.
constexpr UINT kRunHandOvers = WM_APP + 101;
// The hand-over tags as they lie in memory: "qUIL" for the ANSI text, "qUIW"
// for UTF-16, which carries what the ANSI code page cannot.
constexpr ULONG_PTR kHandOverTag = 0x4C495571;
constexpr ULONG_PTR kHandOverWideTag = 0x57495571;

class MainWindow {
 public:
  explicit MainWindow(HWND owner = nullptr);
  // Runs the dialog modally; returns when it has ended.
  INT_PTR RunModal();
  void RestoreFromTray();
  HWND Handle() const { return hwnd_; }

  FileListBox fileList;

  // Message handlers (the table is at the top of the .cpp file).
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
  LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnRunHandOvers(WPARAM wParam, LPARAM lParam);

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnOK();
  void RestorePosition();
  void SavePosition();
  void HandOver(const WideText& text);
  void ShowAbout();
  void OpenSettings();

  HWND owner_;
  HWND hwnd_ = nullptr;
  HICON appIcon_;
  NOTIFYICONDATAA trayIcon_;
  bool inTray_ = false;
  UINT taskbarCreated_;
  std::vector<WideText> deferred_;   // hand-overs that came while the device worked
};

#endif
