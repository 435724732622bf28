// What the portable core needs from the platform: message boxes and the wait
// cursor, the settings (INI) file, host files, the shell, the clock and the
// program's own resources. The Windows implementation is platform_win32.cpp;
// tests install a scriptable one.
#ifndef QUILLET_APP_PLATFORM_H
#define QUILLET_APP_PLATFORM_H

#include <stdint.h>
#include <string>
#include <vector>

#include "app/message_box.h"

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box over the main window (none before it exists), with
  // the application title as caption; returns the IDxxx answer. A box that
  // asks for no icon gets the exclamation icon. While a wait cursor is up it
  // is shown again after the box.
  virtual int ShowMessage(const std::string& text, unsigned style) = 0;
  // The wait cursor, nested: it shows from the first Begin to the last End.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;

  // The private profile file ("Quillet.INI" in the Windows directory).
  virtual int ProfileInt(const char* section, const char* key, int fallback) = 0;
  // Reads into a buffer of bufferSize characters (a longer value is cut).
  virtual std::string ProfileString(const char* section, const char* key,
                                    const char* fallback, size_t bufferSize) = 0;
  virtual void WriteProfileString(const char* section, const char* key,
                                  const std::string& value) = 0;

  // The full path of the program file; false when it cannot be had.
  virtual bool ProgramPath(std::string* path) = 0;

  // Host files.
  virtual bool PathExists(const std::string& path) = 0;   // file or folder
  // The full form of a path: absolute, without "." and ".." parts, short
  // names spelt out where the file exists; the path itself on failure.
  virtual std::string FullPath(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool ReadFileBytes(const std::string& path, std::string* bytes) = 0;
  // The user's temporary folder, ending in a backslash; false on failure or
  // when it does not fit 260 characters.
  virtual bool TempFolder(std::string* path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;  // false if it exists
  virtual bool RemoveFolder(const std::string& path) = 0;

  // Opens a folder in the shell with the verb "open"; the outcome is ignored.
  virtual void OpenFolder(const std::string& path) = 0;

  // A monotonic millisecond clock and a sleep.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;

  // A custom resource of the program ("SRF" 129); false when it cannot be
  // found or loaded.
  virtual bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) = 0;
};

// The platform the core talks to; set once at start (or by a test).
Platform& ThePlatform();
void SetPlatform(Platform* platform);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  WaitCursor() { ThePlatform().BeginWait(); }
  ~WaitCursor() { ThePlatform().EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The style of an error: OK button, exclamation icon.
constexpr unsigned kErrorStyle = MB_OK | MB_ICONEXCLAMATION;
// A failed step inside a multi-file operation.
constexpr unsigned kRetryStyle = MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION;
// A confirmation: Yes/No, question icon, No the default.
constexpr unsigned kConfirmStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
// A completion notice.
constexpr unsigned kNoticeStyle = MB_OK | MB_ICONINFORMATION;

#endif
