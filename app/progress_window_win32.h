// The progress window: a modeless dialog (template 134, "進行状況") over the
// main window, or alone on the work area while the start-up write runs
// before the main window exists. It shows the file in flight, a bar over
// the bytes of the whole operation, the bytes done of all and the time
// left, the requests that wait, and 中止, which stops the operation after
// the file in flight where it can be stopped. The waiting loop lets its
// input through (app/wait_win32.cpp).
#ifndef QUILLET_APP_PROGRESS_WINDOW_WIN32_H
#define QUILLET_APP_PROGRESS_WINDOW_WIN32_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include "app/progress.h"

class ProgressWindow {
 public:
  ~ProgressWindow() { Close(); }
  bool Open(HWND owner);
  void Close();
  bool IsOpen() const { return hwnd_ != nullptr; }
  // Whether a message is for the window (its 中止, Escape on it).
  bool Owns(HWND window) const { return hwnd_ && (window == hwnd_ || IsChild(hwnd_, window)); }
  HWND Handle() const { return hwnd_; }
  // elapsedMs: since the operation's first library call.
  void Show(const ProgressStep& step, uint32_t elapsedMs, size_t waiting, bool stoppable);
  // Takes its input; true when it was a dialog message of the window's.
  bool TakeInput(MSG* msg) const { return IsDialogMessageW(hwnd_, msg) != FALSE; }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void SetText(int id, const std::string& deviceText);

  HWND hwnd_ = nullptr;
};

#endif
