// What the portable core needs from the platform: message boxes and the wait
// cursor, the settings (INI) file, host files, the text conversions between
// the two kinds of text, the shell, the clock and the program's own
// resources. The Windows implementation is platform_win32.cpp; tests install
// a scriptable one.
//
// Two kinds of text meet here. Device text is code page 932 bytes, always:
// device names, the directory text and the program's own texts. Host text is
// Unicode, held as UTF-8: host paths and the settings file's values. They
// are converted only with these exact code pages, never the system's.
#ifndef QUILLET_APP_PLATFORM_H
#define QUILLET_APP_PLATFORM_H

#include <stdint.h>
#include <stdio.h>
#include <functional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/progress.h"

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box (text in UTF-8) over the main window (none before
  // it exists), with the application title as caption; returns the IDxxx
  // answer. A box that asks for no icon gets the exclamation icon. While a
  // wait cursor is up it is shown again after the box.
  virtual int ShowMessage(const std::string& text, unsigned style) = 0;
  // The wait cursor, nested: it shows from the first Begin to the last End.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;

  // The private profile file ("Quillet.INI" in the Windows directory); keys
  // are ASCII, values UTF-8. A string is read into a buffer of bufferSize
  // characters (a longer value is cut).
  virtual int ProfileInt(const char* section, const char* key, int fallback) = 0;
  virtual std::string ProfileString(const char* section, const char* key, const std::string& fallback,
                                    size_t bufferSize) = 0;
  virtual void WriteProfileString(const char* section, const char* key, const std::string& value) = 0;
  virtual void RemoveProfileKey(const char* section, const char* key) = 0;

  // Host files, by UTF-8 paths. The program file's full path; false when it
  // cannot be had.
  virtual bool ProgramPath(std::string* path) = 0;
  virtual bool PathExists(const std::string& path) = 0;   // file or folder
  // Whether two paths name one existing file, by the file system's own
  // identity of it, however they are spelt; false when either is missing.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  // Whether the file system takes two file names for one (letter case in
  // any script, trailing dots and blanks).
  virtual bool SameFileName(const std::string& a, const std::string& b) = 0;
  // The short (8.3) form of an existing path, or the path itself.
  virtual std::string ShortPath(const std::string& path) = 0;
  virtual FILE* OpenForReading(const std::string& path) = 0;   // binary
  // The size of a file; 0 when it cannot be had. (Asked of the file system
  // without opening the file, which under Wine costs thirty times as much.)
  virtual uint64_t FileSize(const std::string& path) = 0;
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;   // replaces a file there
  virtual bool RemoveFile(const std::string& path) = 0;
  // Makes an empty file; false when one is there already or none can be made.
  virtual bool CreateNewFile(const std::string& path) = 0;
  // Writes bytes as the whole of a file, replacing what it held.
  virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
  // The user's temporary folder, ending in a separator; false on failure or
  // when it does not fit 260 characters.
  virtual bool TempFolder(std::string* path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;  // false if it exists
  virtual bool RemoveFolder(const std::string& path) = 0;
  // Opens a folder in the shell with the verb "open"; the outcome is ignored.
  virtual void OpenFolder(const std::string& path) = 0;
  // The folder of the program's log, Quillet in the user's local
  // application data, made when needed and ending in a separator; false
  // when it cannot be had.
  virtual bool LogFolder(std::string* folder) = 0;
  // Adds bytes at the end of a file, made when needed, and hands them to the
  // system before it returns (the file is not held open).
  virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;

  // Host text as device text; false when code page 932 cannot hold it.
  virtual bool DeviceText(const std::string& utf8, std::string* cp932) = 0;
  // Device text as host text; false for bytes that are no code page 932 text.
  virtual bool HostText(const std::string& cp932, std::string* utf8) = 0;
  // A host path as the vendor library takes it: in the system's ANSI code
  // page, at most 259 bytes; false when it cannot be said so.
  virtual bool LibraryPath(const std::string& path, std::string* ansi) = 0;

  // A monotonic millisecond clock and a sleep; the local time of day.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual void LocalTime(int* hour, int* minute, int* second, int* millisecond) = 0;

  // How far a long operation (writing, reading out) has got
  // (app/progress.h).
  virtual void BeginProgress() {}
  virtual void ShowProgress(const ProgressStep& step) {}
  virtual void EndProgress() {}

  // A custom resource of the program ("SRF" 129); false when it cannot be
  // found or loaded.
  virtual bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) = 0;
};

// The platform the core talks to; set once at start (or by a test).
Platform& ThePlatform();
void SetPlatform(Platform* platform);

// Shows one of the program's own texts, or any device text, in a box; the
// user's wait for it is not the device's (app/operations.h).
int Show(const std::string& deviceText, unsigned style);
// The same for host text.
int ShowHost(const std::string& hostText, unsigned style);
// Device text as host text, for a message or a path; the bytes that are no
// code page 932 text are left out.
std::string HostTextOf(const std::string& deviceText);

// A file of the program's own, "QLS<8 hex digits>.tmp", made at once and
// exclusively in folder (which ends in a separator), so that no file of the
// user's or of another instance is met; removed when the object goes unless
// it was moved to its place. path() is empty when none could be made.
class PrivateFile {
 public:
  explicit PrivateFile(const std::string& folder);
  ~PrivateFile();
  PrivateFile(const PrivateFile&) = delete;
  PrivateFile& operator=(const PrivateFile&) = delete;
  const std::string& path() const { return path_; }
  // Moves the file over target, which it replaces; false when it cannot.
  bool MoveTo(const std::string& target);

 private:
  std::string path_;
};

// Private files and folders (a folder's path ends in a separator) are known
// while they exist, so that an end that cannot wait for the device removes
// all of them but the one the call under way uses.
void KnowPrivate(const std::string& path, bool exists);
void RemovePrivateFiles(const std::string& inUse);

// Makes folder (ending in a separator) and the folders above it that are
// missing; a failure shows when a file cannot be made there.
void MakeFolders(const std::string& folder);
// Puts a file at path through a private file beside it (or in the
// temporary folder, where that name is too long) that fill fills: the file
// replaces path only when fill says it is whole, so a failure leaves neither
// half a file nor the loss of the old one.
bool ReplaceWhole(const std::string& path, const std::function<bool(const std::string& fresh)>& fill);

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
