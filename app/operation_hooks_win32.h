// What the window side does around each device operation: the PC kept
// awake, the end of the session refused while the device is changed, the
// waiting requests run from the message loop, and a close that has come
// due carried out.
#ifndef QUILLET_APP_OPERATION_HOOKS_WIN32_H
#define QUILLET_APP_OPERATION_HOOKS_WIN32_H

#include <windows.h>

#include "app/operations.h"

// Posted to the main window to run the requests that wait.
constexpr UINT kRunQueued = WM_APP + 101;

class WindowOperationHooks : public OperationHooks {
 public:
  explicit WindowOperationHooks(void (*afterEach)()) : afterEach_(afterEach) {}
  void Began() override;
  void BeganWriting() override;
  void KeepAwake(bool awake) override;
  void Ended() override;
  void RunQueuedLater() override;
  void Close() override;

 private:
  HWND blocking_ = nullptr;   // the window that carries the shutdown reason
  void (*afterEach_)();       // what is to be said once an operation has ended
};

// Installs the hooks for the process, with what runs after each operation;
// once, at start.
void InstallOperationHooks(void (*afterEach)());

#endif
