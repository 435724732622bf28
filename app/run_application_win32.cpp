// The start routine: one working instance, the vendor library bound,
// settings in, the command line written, the main window run, settings out.
#include <windows.h>
#include <ole2.h>
#include <stdlib.h>

#include <exception>
#include <new>

#include "app/main_window_win32.h"
#include "app/operation_hooks_win32.h"
#include "app/platform_win32.h"
#include "app/settings_store.h"
#include "app/single_instance_win32.h"
#include "device/trace_log.h"
#include "device/pieceif_library_win32.h"

// The process's exit code: 0 when it ran, 1 when it could not.
int RunApplication() {
  Win32Platform& platform = TheWin32Platform();
  SetPlatform(&platform);
  // OLE is needed by the read-out drag.
  if (FAILED(OleInitialize(nullptr))) {
    MessageBoxW(nullptr, WideFromDevice("初期化に失敗しました。").c_str(), platform.AppTitle().c_str(), MB_OK | MB_ICONSTOP);
    return 1;
  }
  if (HandOverToRunningInstance()) {
    OleUninitialize();
    return 0;
  }
  // Only a working instance needs the library; without it nothing is
  // touched, not even the settings file.
  std::string problem;
  if (!LoadDeviceLibrary(&problem)) {
    Show(problem, kErrorStyle);
    OleUninitialize();
    return 1;
  }
  // A trace that could not be written is said after the operation, once.
  InstallOperationHooks([] { TheTraceLog().ReportFailure(); });
  LoadSettings();
  TheTraceLog().Enable(AppSettings.trace);
  LoadLruList();
  TransferCommandLine();   // before any window: its boxes have no owner
  {
    MainWindow window;
    window.RunModal();     // writes "position" while it is destroyed
    platform.SetMainWindow(nullptr);
  }
  SaveLruList();
  SaveSettings();
  UnloadDeviceLibrary();
  OleUninitialize();
  return 0;
}

// The runtime's default handler for an uncaught exception prints its type
// name to a console this program does not have, and brings the whole C++
// demangler (some 40 KB) into the program file for that. Ending the same way
// without it keeps the file small.
namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}

// The C++ library reports a string or container used past its limits (a
// length over max_size(), a null pointer, a position past the end) through
// these functions, by throwing std::length_error and its kin. Those classes
// keep their text in the library's older string type, whose whole code (some
// 45 KB) comes in with them. Nothing here catches them, so such an error ends
// the program as before; a handler for std::exception or for any exception
// would still receive it, with the library's text (a position message
// unformatted). The allocation failures keep their own types: the launcher
// copy catches std::bad_alloc. A sibling of these not defined here links the
// library's versions in beside them and stops the link with "multiple
// definition": add it here then.
namespace {
class LimitError : public std::exception {
 public:
  explicit LimitError(const char* what) : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};
}  // namespace

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw LimitError(what); }
void __throw_logic_error(const char* what) { throw LimitError(what); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LimitError(format); }
}  // namespace std

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(); }
