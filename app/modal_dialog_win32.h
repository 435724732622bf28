// The program's dialogs, each a small class on one base: the base owns the
// procedure and the modal run, places the dialog over its owner (whole on
// the owner's monitor), and turns the dialog manager's messages into a few
// steps a dialog overrides. OK and Enter arrive as IDOK, Cancel, Escape and
// the close box as IDCANCEL. A dialog's file then holds only its fields and
// rules; other messages go through its own table (OnMessage).
#ifndef QUILLET_APP_MODAL_DIALOG_WIN32_H
#define QUILLET_APP_MODAL_DIALOG_WIN32_H

#include <windows.h>

class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  // Runs the dialog; the result End gave, or IDCANCEL when it could not be
  // made.
  INT_PTR Run(HWND owner);
  HWND Handle() const { return hwnd_; }

 protected:
  // placed: opened over the owner (not the main window, whose place is its
  // own).
  explicit ModalDialog(int templateId, bool placed = true) : templateId_(templateId), placed_(placed) {}
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void End(INT_PTR result) { EndDialog(hwnd_, result); }

  // True lets the dialog manager give the focus to the first control.
  virtual bool OnInit() { return true; }
  // OK or Enter: true closes the dialog with IDOK.
  virtual bool OnOk() { return true; }
  virtual void OnCancel() { End(IDCANCEL); }
  // Any other command of a control; true when it was taken.
  virtual bool OnCommand(int id, int code) { return false; }
  // Any other message; true when it was handled, with its result.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  bool placed_;
  HWND hwnd_ = nullptr;
};

#endif
