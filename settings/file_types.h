// Tying the .pex and .pfs file types into the Windows shell: the open command
// of the file type "KorvaSE", the self-registration of korvase.dll, and the
// icon refresh. The operations run on a ShellHost so that their order and
// their messages can be checked without Windows; file_types_win32.cpp gives
// the real registry and the argument-free forms the settings dialog calls.
#ifndef QUILLET_SETTINGS_FILE_TYPES_H
#define QUILLET_SETTINGS_FILE_TYPES_H

#include <stddef.h>
#include <stdint.h>

#include <string>

// Paths here are host text (UTF-8), as are registry strings: the Windows
// side stores them as UTF-16.
//
// The open command of the file type: "<program path>" "%1".
std::string OpenCommandText(const std::string& programPath);

// The number at the start of an icon-size text, as a signed decimal: leading
// blanks and a sign are allowed, no digits give 0; out-of-range values stop
// at the int limits.
int ParseIconSize(const std::string& text);
// The decimal text of that number less one.
std::string SmallerIconSizeText(const std::string& text);

// The message shown when korvase.dll loads from neither folder (host text).
std::string KorvaseLoadMessage(const std::string& programFolder,
                               const std::string& systemFolder);

// Drive and folder of the program file, ending in a backslash.
std::string ProgramFolder(const std::string& programPath);

constexpr char kComponentFile[] = "korvase.dll";
constexpr size_t kIconSizeBufferBytes = 32;

enum class RegistryRoot { kClassesRoot, kCurrentUser };

// A registry value as stored: its type and raw bytes (a REG_SZ string
// includes its terminating zero).
struct RegistryValue {
  uint32_t type = 0;
  std::string bytes;
};
constexpr uint32_t kRegSz = 1;

// What the file-type operations need from Windows.
class ShellHost {
 public:
  using Key = void*;      // null: no key
  using Library = void*;  // null: not loaded
  virtual ~ShellHost() = default;

  // Registry, full access rights. CreateKey makes a non-volatile key or opens
  // it. A null name is the key's default value.
  virtual Key CreateKey(RegistryRoot root, const char* path) = 0;
  virtual Key OpenKey(RegistryRoot root, const char* path) = 0;
  virtual void CloseKey(Key key) = 0;
  // False when the value is missing or longer than bufferSize bytes.
  virtual bool QueryValue(Key key, const char* name, size_t bufferSize, RegistryValue* value) = 0;
  virtual bool SetValue(Key key, const char* name, const RegistryValue& value) = 0;
  virtual void DeleteValue(Key key, const char* name) = 0;
  virtual void DeleteKey(RegistryRoot root, const char* path) = 0;

  // The Windows system folder (no trailing backslash); false when it cannot
  // be had in 260 characters.
  virtual bool SystemFolder(std::string* path) = 0;

  virtual Library LoadLibraryFile(const std::string& path) = 0;
  // Calls the argument-free export name; false when there is no such export.
  virtual bool CallExport(Library library, const char* name, int32_t* result) = 0;
  virtual void FreeLibraryFile(Library library) = 0;

  // Reads the system's icon metrics and sets them again unchanged, saved to
  // the user profile and broadcast to all top-level windows.
  virtual void ResetIconMetrics() = 0;
};

bool RegisterFileTypes(ShellHost& host);
bool UnregisterFileTypes(ShellHost& host);
void RefreshShellIcons(ShellHost& host);
bool WriteOpenCommand(ShellHost& host);
bool DeleteOpenCommandKeys(ShellHost& host);
bool InvokeExtensionRegistration(ShellHost& host, bool registering);

// The same on the Windows registry (Windows build only).
bool RegisterFileTypes();
bool UnregisterFileTypes();
void RefreshShellIcons();
bool WriteOpenCommand();
bool DeleteOpenCommandKeys();
bool InvokeExtensionRegistration(bool registering);

#endif
