// The Windows implementation of the platform seam, and the conversions of the
// two kinds of text to and from the UTF-16 of the W functions: device text
// always through code page 932, host text through UTF-8.
#ifndef QUILLET_APP_PLATFORM_WIN32_H
#define QUILLET_APP_PLATFORM_WIN32_H

#include <windows.h>

#include <string>

#include "app/platform.h"
#include "app/progress_window_win32.h"

// UTF-16 text for the W functions. Its own traits make the compiler build
// just the string functions used here; std::wstring's come from the C++
// library whole, about 50 KB of the program file.
struct WideTraits : std::char_traits<wchar_t> {};
using WideText = std::basic_string<wchar_t, WideTraits>;

WideText WideFromDevice(const std::string& cp932);
std::string DeviceFromWide(const WideText& wide);
WideText WideFromHost(const std::string& utf8);
std::string HostFromWide(const WideText& wide);
// The system's ANSI code page, as the vendor library and the hand-over's
// older form take it; AnsiFromWide is false when a character has no exact
// form there.
WideText WideFromAnsi(const std::string& ansi);
bool AnsiFromWide(const WideText& wide, std::string* ansi);

// A function of a system library that older Windows may lack; null then.
template <class Function>
Function SystemFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Opens the clipboard, waiting up to two seconds for another program to
// let it go (clipboard managers hold it a moment after every change); says
// so when it does not.
bool OpenClipboardSoon(HWND owner);
// A movable global block holding a copy of bytes, for the clipboard; null
// when none can be had.
HGLOBAL GlobalCopy(const void* bytes, size_t size);

struct LibraryCall;

class Win32Platform : public Platform {
 public:
  Win32Platform();

  // The owner of message boxes: the main window once it exists.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }
  // The application title: the program file's base name.
  const WideText& AppTitle() const { return appTitle_; }

  int ShowMessage(const std::string& text, unsigned style) override;
  void BeginWait() override;
  void EndWait() override;
  int ProfileInt(const char* section, const char* key, int fallback) override;
  std::string ProfileString(const char* section, const char* key, const std::string& fallback,
                            size_t bufferSize) override;
  void WriteProfileString(const char* section, const char* key, const std::string& value) override;
  void RemoveProfileKey(const char* section, const char* key) override;
  bool ProgramPath(std::string* path) override;
  bool PathExists(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  bool SameFileName(const std::string& a, const std::string& b) override;
  std::string ShortPath(const std::string& path) override;
  FILE* OpenForReading(const std::string& path) override;
  uint64_t FileSize(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  bool CreateNewFile(const std::string& path) override;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
  bool TempFolder(std::string* path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  void OpenFolder(const std::string& path) override;
  bool DeviceText(const std::string& utf8, std::string* cp932) override;
  bool HostText(const std::string& cp932, std::string* utf8) override;
  bool LibraryPath(const std::string& path, std::string* ansi) override;
  uint32_t TickCount() override;
  void Sleep(uint32_t milliseconds) override;
  void LocalTime(int* hour, int* minute, int* second, int* millisecond) override;
  bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) override;
  bool LogFolder(std::string* folder) override;
  bool AppendToFile(const std::string& path, const std::string& bytes) override;

  // The window thread's wait while the device works (app/wait_win32.cpp):
  // until event is set, or for milliseconds when there is none, with the
  // window painted and answering but taking no input. A device call waits
  // with its event; CallElapsed is how long the one under way has run (0
  // when none).
  void Wait(HANDLE event, DWORD milliseconds = INFINITE);
  bool Waiting() const { return waiting_ > 0; }
  DWORD CallElapsed() const;
  void BeginProgress() override;
  void ShowProgress(const ProgressStep& step) override;
  // An operation begins: its first library call is still to come.
  void OperationBegan();
  void EndProgress() override;
  // A WM_QUIT taken during a wait, for the close that comes due once the
  // operation has ended: true (and its exit code) once.
  bool TakeQuit(int* code);
  // What the profile functions hold, to disk.
  void FlushSettings();

 private:
  bool TakeWhileWaiting(const MSG& msg);
  void ApplyProgress(bool changed);
  DWORD NextWake() const;
  const LibraryCall* CallForLateClose() const;
  bool ProgressWindowWillOpen() const;
  void KeepSettingsWhole(const WideText& value);

  HWND mainWindow_ = nullptr;
  WideText appTitle_;
  WideText iniName_;
  bool iniChecked_ = false;   // the settings file's form has been looked at
  bool iniUnicode_ = false;   // and it is UTF-16
  int waitDepth_ = 0;
  HCURSOR restoreCursor_ = nullptr;

  int waiting_ = 0;
  DWORD callStart_ = 0;
  bool inCall_ = false;
  bool quit_ = false;
  int quitCode_ = 0;
  int progressDepth_ = 0;
  bool progressShown_ = false;
  DWORD progressStart_ = 0;
  ProgressStep step_;
  bool anyCall_ = false, lateCloseAsked_ = false;
  DWORD firstCall_ = 0;   // the operation's first library call
  ProgressWindow window_;
  WideText titleBefore_;
  struct ITaskbarList3* taskbar_ = nullptr;
};

Win32Platform& TheWin32Platform();

#endif
