#include "app/platform_win32.h"

#include <shellapi.h>
#include <stdio.h>

#include "app/path_util.h"

namespace {
constexpr DWORD kMaxPath = 260;
}

Win32Platform& TheWin32Platform() {
  static Win32Platform platform;
  return platform;
}

Win32Platform::Win32Platform() {
  std::string path;
  appTitle_ = ProgramPath(&path) ? SplitPath(path).name : "Quillet";
  // Without a folder the profile functions keep the file in the Windows
  // directory.
  iniName_ = appTitle_ + ".INI";
}

int Win32Platform::ShowMessage(const std::string& text, unsigned style) {
  unsigned buttons = style & MB_TYPEMASK;
  if ((style & MB_ICONMASK) == 0 &&
      (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL))
    style |= MB_ICONEXCLAMATION;
  // Over the dialog that is up (settings, PAUSE), so that it stays disabled
  // while the box is shown.
  HWND owner = mainWindow_ ? GetLastActivePopup(mainWindow_) : nullptr;
  int answer = MessageBoxA(owner, text.c_str(), appTitle_.c_str(), style);
  if (waitDepth_ > 0) SetCursor(LoadCursor(nullptr, IDC_WAIT));
  return answer;
}

void Win32Platform::BeginWait() {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (waitDepth_++ == 0) restoreCursor_ = previous;
}

void Win32Platform::EndWait() {
  if (waitDepth_ > 0 && --waitDepth_ == 0)
    SetCursor(restoreCursor_ ? restoreCursor_ : LoadCursor(nullptr, IDC_ARROW));
}

int Win32Platform::ProfileInt(const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, iniName_.c_str()));
}

std::string Win32Platform::ProfileString(const char* section, const char* key, const char* fallback,
                                         size_t bufferSize) {
  std::string buffer(bufferSize, '\0');
  DWORD n = GetPrivateProfileStringA(section, key, fallback, &buffer[0],
                                     static_cast<DWORD>(bufferSize), iniName_.c_str());
  buffer.resize(n);
  return buffer;
}

void Win32Platform::WriteProfileString(const char* section, const char* key,
                                       const std::string& value) {
  WritePrivateProfileStringA(section, key, value.c_str(), iniName_.c_str());
}

bool Win32Platform::ProgramPath(std::string* path) {
  char buffer[kMaxPath];
  DWORD n = GetModuleFileNameA(nullptr, buffer, kMaxPath);
  if (n == 0 || n >= kMaxPath) return false;
  path->assign(buffer, n);
  return true;
}

bool Win32Platform::PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Win32Platform::FullPath(const std::string& path) {
  char full[kMaxPath], longForm[kMaxPath];
  DWORD n = GetFullPathNameA(path.c_str(), kMaxPath, full, nullptr);
  if (n == 0 || n >= kMaxPath) return path;
  // An 8.3 spelling names the same file; only a file that exists has a long form.
  DWORD m = GetLongPathNameA(full, longForm, kMaxPath);
  return m == 0 || m >= kMaxPath ? std::string(full, n) : std::string(longForm, m);
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32Platform::ReadFileBytes(const std::string& path, std::string* bytes) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes->clear();
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes->append(chunk, n);
  fclose(f);
  return true;
}

bool Win32Platform::TempFolder(std::string* path) {
  char buffer[kMaxPath];
  DWORD n = GetTempPathA(kMaxPath, buffer);
  // A path that does not fit comes back as the length it needs.
  if (n == 0 || n >= kMaxPath) return false;
  path->assign(buffer, n);
  return true;
}

bool Win32Platform::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Platform::RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != 0;
}

void Win32Platform::OpenFolder(const std::string& path) {
  ShellExecuteA(mainWindow_, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

uint32_t Win32Platform::TickCount() { return GetTickCount(); }

void Win32Platform::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

bool Win32Platform::LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
  if (!found) return false;
  DWORD size = SizeofResource(nullptr, found);
  HGLOBAL loaded = LoadResource(nullptr, found);
  const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data || size == 0) return false;
  bytes->assign(data, data + size);
  return true;
}
