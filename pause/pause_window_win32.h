// The PAUSE window: a small captionless modal dialog over the main window
// that blinks "ＰＡＵＳＥ" until any key is pressed.
#ifndef QUILLET_PAUSE_PAUSE_WINDOW_WIN32_H
#define QUILLET_PAUSE_PAUSE_WINDOW_WIN32_H

#include "app/modal_dialog_win32.h"

class PauseWindow : public ModalDialog {
 public:
  PauseWindow();

  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

 protected:
  bool OnInit() override;
  // Enter and Esc arrive as the dialog's OK and Cancel when the dialog
  // manager sees them first: they end it as any key does.
  bool OnOk() override { return true; }
  void OnCancel() override { End(IDOK); }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  static LRESULT CALLBACK TextProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND text_ = nullptr;
  WNDPROC previousTextProc_ = nullptr;
  int blinkCount = 0;
};

// What the Pause/Break key shows while the device is paused, over owner
// (the main window when null), until a key ends it.
void RunPauseWindow(HWND owner);

#endif
