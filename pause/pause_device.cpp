#include "pause/pause_device.h"

#include "app/messages.h"
#include "app/platform.h"
#include "device/connection.h"

namespace {

const char kControlError[] = "実行制御エラーです。";

void ShowError(const char* text) { Show(text, kErrorStyle); }

}  // namespace

void PauseDevice(const std::function<void()>& showWindow) {
  if (!ConnectDevice()) {
    ShowError(kCannotConnect);
    return;
  }
  if (SetAppPaused(1) != 0) {
    ShowError(kControlError);
    DisconnectDevice();
    return;
  }
  // The device stays paused on its own; no connection is held while the
  // window waits for the user.
  DisconnectDevice();
  showWindow();
  if (!ConnectDevice()) {
    ShowError(kCannotConnect);
    return;
  }
  if (SetAppPaused(0) != 0) ShowError(kControlError);
  DisconnectDevice();
}
