// MainWindow: the program's only main window, a modal dialog from template
// 102 whose client area is the file list; it minimises to the tray.
#ifndef QUILLET_APP_MAIN_WINDOW_WIN32_H
#define QUILLET_APP_MAIN_WINDOW_WIN32_H

#include <windows.h>
#include <shellapi.h>

#include "app/modal_dialog_win32.h"
#include "app/platform_win32.h"
#include "filelist/file_list_box_win32.h"

// The tray icon's callback message.
constexpr UINT kTrayMessage = WM_APP + 100;
// The hand-over tags as they lie in memory: "qUIL" for the ANSI text, "qUIW"
// for UTF-16, which carries what the ANSI code page cannot.
constexpr ULONG_PTR kHandOverTag = 0x4C495571;
constexpr ULONG_PTR kHandOverWideTag = 0x57495571;
// The property that marks the main window, by which a second start finds it
// whatever it shows and whatever its title says.
constexpr wchar_t kMainWindowMark[] = L"Quillet.MainWindow";

class MainWindow : public ModalDialog {
 public:
  explicit MainWindow(HWND owner = nullptr);
  // Runs the dialog modally; returns when it has ended.
  INT_PTR RunModal() { return Run(owner_); }
  void RestoreFromTray();

  FileListBox fileList;

  // Message handlers (the table is at the top of the .cpp file).
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
  LRESULT OnDestroyClipboard(WPARAM wParam, LPARAM lParam);
  LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnRunQueued(WPARAM wParam, LPARAM lParam);

 protected:
  bool OnInit() override;
  // Enter reaches the dialog as its OK command: the list takes it as its key.
  bool OnOk() override;
  // Escape, the close box, Alt+F4 and WM_CLOSE arrive as Cancel.
  void OnCancel() override { RequestClose(); }
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void RestorePosition();
  void SavePosition();
  void RequestClose();
  void EndNow();
  void SaveAsAClose();
  void RestoreAndRefresh();
  // The icons drawn for the window's DPI: the window's own and the tray's.
  void LoadIcons();
  void HandOver(const PathList& list);
  void ShowAbout();
  void OpenSettings();

  HWND owner_;
  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
  NOTIFYICONDATAA trayIcon_;
  bool inTray_ = false;
  bool askingToEnd_ = false;
  bool restoring_ = false;   // the stored position is being taken
  UINT taskbarCreated_;
};

#endif
