// The PAUSE window: a small captionless modal dialog over the main window
// that blinks "ＰＡＵＳＥ" until any key is pressed.
#ifndef QUILLET_PAUSE_PAUSE_WINDOW_WIN32_H
#define QUILLET_PAUSE_PAUSE_WINDOW_WIN32_H

#include <windows.h>

class PauseWindow {
 public:
  PauseWindow() = default;
  // Shows the window modally over owner (the main window when null) and
  // returns when a key has ended it.
  INT_PTR RunModal(HWND owner);

  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void CenterOverOwner();

  HWND hwnd_ = nullptr;
  HWND text_ = nullptr;
  WNDPROC previousTextProc_ = nullptr;
  int blinkCount = 0;
};

// What the Pause/Break key shows while the device is paused.
void RunPauseWindow(HWND owner);

#endif
