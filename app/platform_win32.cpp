#include "app/platform_win32.h"

#include <shellapi.h>
#include <stdio.h>

#include "app/path_util.h"

namespace {

constexpr DWORD kMaxPath = 260;
constexpr UINT kDeviceCodePage = 932;

WideText Wide(UINT codePage, DWORD flags, const std::string& text) {
  if (text.empty()) return WideText();
  int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  WideText out(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

// Narrow text in codePage; false when a character has no exact form there.
bool Narrow(UINT codePage, const WideText& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  BOOL lost = FALSE;
  bool utf8 = codePage == CP_UTF8;   // which takes neither the flag nor the question
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                              utf8 ? nullptr : &lost);
  if (n <= 0) return false;
  out->resize(n);
  WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &(*out)[0], n, nullptr,
                      utf8 ? nullptr : &lost);
  return !lost;
}

}  // namespace

// What the A functions did with device text on a Japanese system, now on
// every system: unmapped bytes and characters go as they would there.
WideText WideFromDevice(const std::string& cp932) { return Wide(kDeviceCodePage, 0, cp932); }

std::string DeviceFromWide(const WideText& wide) {
  std::string out;
  Narrow(kDeviceCodePage, wide, &out);
  return out;
}

WideText WideFromHost(const std::string& utf8) { return Wide(CP_UTF8, 0, utf8); }

std::string HostFromWide(const WideText& wide) {
  std::string out;
  Narrow(CP_UTF8, wide, &out);
  return out;
}

WideText WideFromAnsi(const std::string& ansi) { return Wide(GetACP(), 0, ansi); }

bool AnsiFromWide(const WideText& wide, std::string* ansi) { return Narrow(GetACP(), wide, ansi); }

Win32Platform& TheWin32Platform() {
  static Win32Platform platform;
  return platform;
}

Win32Platform::Win32Platform() {
  std::string path;
  appTitle_ = WideFromHost(ProgramPath(&path) ? SplitHostPath(path).name : "Quillet");
  // Without a folder the profile functions keep the file in the Windows
  // directory.
  iniName_ = appTitle_ + L".INI";
}

int Win32Platform::ShowMessage(const std::string& text, unsigned style) {
  unsigned buttons = style & MB_TYPEMASK;
  if ((style & MB_ICONMASK) == 0 &&
      (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL))
    style |= MB_ICONEXCLAMATION;
  // Over the dialog that is up (settings, PAUSE), so that it stays disabled
  // while the box is shown.
  HWND owner = mainWindow_ ? GetLastActivePopup(mainWindow_) : nullptr;
  int answer = MessageBoxW(owner, WideFromHost(text).c_str(), appTitle_.c_str(), style);
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
  return static_cast<int>(GetPrivateProfileIntW(WideFromHost(section).c_str(), WideFromHost(key).c_str(), fallback,
                                                iniName_.c_str()));
}

std::string Win32Platform::ProfileString(const char* section, const char* key, const std::string& fallback,
                                         size_t bufferSize) {
  WideText buffer(bufferSize, L'\0');
  DWORD n = GetPrivateProfileStringW(WideFromHost(section).c_str(), WideFromHost(key).c_str(), WideFromHost(fallback).c_str(),
                                     &buffer[0], static_cast<DWORD>(bufferSize), iniName_.c_str());
  buffer.resize(n);
  return HostFromWide(buffer);
}

void Win32Platform::WriteProfileString(const char* section, const char* key, const std::string& value) {
  // Where the system's code page is not 932, a new settings file is made as
  // UTF-16 first, so that the profile functions keep every name whole. An
  // ANSI file is left as it is, and so is every file on a Japanese system.
  if (!iniChecked_ && GetACP() != kDeviceCodePage) {
    wchar_t windows[kMaxPath];
    UINT n = GetWindowsDirectoryW(windows, kMaxPath);
    WideText path = WideText(windows, n < kMaxPath ? n : 0) + L"\\" + iniName_;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, "\xFF\xFE", 2, &written, nullptr);
      CloseHandle(file);
    }
  }
  iniChecked_ = true;
  WritePrivateProfileStringW(WideFromHost(section).c_str(), WideFromHost(key).c_str(), WideFromHost(value).c_str(),
                             iniName_.c_str());
}

bool Win32Platform::ProgramPath(std::string* path) {
  wchar_t buffer[kMaxPath];
  DWORD n = GetModuleFileNameW(nullptr, buffer, kMaxPath);
  if (n == 0 || n >= kMaxPath) return false;
  *path = HostFromWide(WideText(buffer, n));
  return true;
}

bool Win32Platform::PathExists(const std::string& path) {
  return GetFileAttributesW(WideFromHost(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Win32Platform::FullPath(const std::string& path) {
  wchar_t full[kMaxPath], longForm[kMaxPath];
  DWORD n = GetFullPathNameW(WideFromHost(path).c_str(), kMaxPath, full, nullptr);
  if (n == 0 || n >= kMaxPath) return path;
  // An 8.3 spelling names the same file; only a file that exists has a long form.
  DWORD m = GetLongPathNameW(full, longForm, kMaxPath);
  return HostFromWide(m == 0 || m >= kMaxPath ? WideText(full, n) : WideText(longForm, m));
}

std::string Win32Platform::ShortPath(const std::string& path) {
  wchar_t shortForm[kMaxPath];
  DWORD n = GetShortPathNameW(WideFromHost(path).c_str(), shortForm, kMaxPath);
  return n == 0 || n >= kMaxPath ? path : HostFromWide(WideText(shortForm, n));
}

FILE* Win32Platform::OpenForReading(const std::string& path) { return _wfopen(WideFromHost(path).c_str(), L"rb"); }

bool Win32Platform::CopyFile(const std::string& from, const std::string& to) {
  return CopyFileW(WideFromHost(from).c_str(), WideFromHost(to).c_str(), FALSE) != 0;
}

bool Win32Platform::MoveFile(const std::string& from, const std::string& to) {
  return MoveFileExW(WideFromHost(from).c_str(), WideFromHost(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileW(WideFromHost(path).c_str()) != 0; }

bool Win32Platform::TempFolder(std::string* path) {
  wchar_t buffer[kMaxPath];
  DWORD n = GetTempPathW(kMaxPath, buffer);
  // A path that does not fit comes back as the length it needs.
  if (n == 0 || n >= kMaxPath) return false;
  *path = HostFromWide(WideText(buffer, n));
  return true;
}

bool Win32Platform::CreateFolder(const std::string& path) {
  return CreateDirectoryW(WideFromHost(path).c_str(), nullptr) != 0;
}

bool Win32Platform::RemoveFolder(const std::string& path) {
  return RemoveDirectoryW(WideFromHost(path).c_str()) != 0;
}

void Win32Platform::OpenFolder(const std::string& path) {
  ShellExecuteW(mainWindow_, L"open", WideFromHost(path).c_str(), nullptr, nullptr, SW_SHOW);
}

bool Win32Platform::DeviceText(const std::string& utf8, std::string* cp932) {
  return Narrow(kDeviceCodePage, WideFromHost(utf8), cp932);
}

bool Win32Platform::HostText(const std::string& cp932, std::string* utf8) {
  WideText wide = Wide(kDeviceCodePage, MB_ERR_INVALID_CHARS, cp932);
  return (!wide.empty() || cp932.empty()) && Narrow(CP_UTF8, wide, utf8);
}

bool Win32Platform::LibraryPath(const std::string& path, std::string* ansi) {
  return AnsiFromWide(WideFromHost(path), ansi) && ansi->size() <= kMaxPath - 1;
}

uint32_t Win32Platform::TickCount() { return GetTickCount(); }

void Win32Platform::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

bool Win32Platform::LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), WideFromHost(type).c_str());
  if (!found) return false;
  DWORD size = SizeofResource(nullptr, found);
  HGLOBAL loaded = LoadResource(nullptr, found);
  const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data || size == 0) return false;
  bytes->assign(data, data + size);
  return true;
}
