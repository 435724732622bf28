#include "app/platform_win32.h"

#include <shellapi.h>
#include <shlobj.h>
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
  static const HCURSOR waitCursor = LoadCursor(nullptr, IDC_WAIT);
  HCURSOR previous = SetCursor(waitCursor);
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

namespace {

bool ReadWholeFile(const WideText& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[4096];
  DWORD got = 0;
  bool read;
  while ((read = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != 0) && got > 0) bytes->append(chunk, got);
  CloseHandle(file);
  return read;
}

bool WriteWhole(const WideText& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  return CloseHandle(file) && whole;
}

// Writes bytes to a file beside path and then moves it over path, so that
// a failure leaves the old file as it was.
bool ReplaceContents(const WideText& path, const std::string& bytes) {
  WideText fresh = path + L".new";
  if (WriteWhole(fresh, bytes) && MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(fresh.c_str());
  return false;
}

}  // namespace

// The profile functions keep a file in the form it has: ANSI, whose values
// lose what the system's code page cannot say, or UTF-16 with a byte-order
// mark, which keeps every character. So a new (or empty) file is made
// UTF-16 where the system's code page is not 932, and an ANSI file is
// rewritten as UTF-16, every line kept, before a value its code page cannot
// say goes into it. A file whose values all fit stays as it is.
void Win32Platform::KeepSettingsWhole(const WideText& value) {
  std::string said;
  bool fits = AnsiFromWide(value, &said);
  if (iniUnicode_ || (iniChecked_ && fits)) return;
  iniChecked_ = true;
  wchar_t windows[kMaxPath];
  UINT n = GetWindowsDirectoryW(windows, kMaxPath);
  WideText path = WideText(windows, n < kMaxPath ? n : 0) + L"\\" + iniName_;
  FlushSettings();
  std::string bytes;
  bool fresh = !ReadWholeFile(path, &bytes) || bytes.empty();
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    iniUnicode_ = true;
  } else if (!fits || (fresh && GetACP() != kDeviceCodePage)) {
    WideText text = WideFromAnsi(bytes);
    iniUnicode_ = ReplaceContents(path, "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  }
}

// What the profile cache holds, to disk.
void Win32Platform::FlushSettings() { WritePrivateProfileStringW(nullptr, nullptr, nullptr, iniName_.c_str()); }

void Win32Platform::WriteProfileString(const char* section, const char* key, const std::string& value) {
  WideText wide = WideFromHost(value);
  KeepSettingsWhole(wide);
  WritePrivateProfileStringW(WideFromHost(section).c_str(), WideFromHost(key).c_str(), wide.c_str(), iniName_.c_str());
}

void Win32Platform::RemoveProfileKey(const char* section, const char* key) {
  WritePrivateProfileStringW(WideFromHost(section).c_str(), WideFromHost(key).c_str(), nullptr, iniName_.c_str());
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

namespace {

bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileW(WideFromHost(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool known = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return known;
}

}  // namespace

// A volume and a file index name one file whatever spelling reached it:
// letter case in any script, 8.3 names, links, "\\?\" forms.
bool Win32Platform::SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x, y;
  return FileIdentity(a, &x) && FileIdentity(b, &y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

bool Win32Platform::SameFileName(const std::string& a, const std::string& b) {
  // The file system drops trailing dots and blanks, and ignores letter case
  // as the system's ordinal comparison does.
  auto stored = [](const std::string& name) {
    WideText wide = WideFromHost(name);
    while (!wide.empty() && (wide.back() == L'.' || wide.back() == L' ')) wide.pop_back();
    return wide;
  };
  WideText x = stored(a), y = stored(b);
  return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()), TRUE) ==
         CSTR_EQUAL;
}

std::string Win32Platform::ShortPath(const std::string& path) {
  wchar_t shortForm[kMaxPath];
  DWORD n = GetShortPathNameW(WideFromHost(path).c_str(), shortForm, kMaxPath);
  return n == 0 || n >= kMaxPath ? path : HostFromWide(WideText(shortForm, n));
}

FILE* Win32Platform::OpenForReading(const std::string& path) { return _wfopen(WideFromHost(path).c_str(), L"rb"); }

uint64_t Win32Platform::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WideFromHost(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Platform::CopyFile(const std::string& from, const std::string& to) {
  return CopyFileW(WideFromHost(from).c_str(), WideFromHost(to).c_str(), FALSE) != 0;
}

bool Win32Platform::MoveFile(const std::string& from, const std::string& to) {
  return MoveFileExW(WideFromHost(from).c_str(), WideFromHost(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileW(WideFromHost(path).c_str()) != 0; }

bool Win32Platform::CreateNewFile(const std::string& path) {
  HANDLE file = CreateFileW(WideFromHost(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Win32Platform::WriteWholeFile(const std::string& path, const std::string& bytes) {
  return WriteWhole(WideFromHost(path), bytes);
}

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

void Win32Platform::Sleep(uint32_t milliseconds) { Wait(nullptr, milliseconds); }

void Win32Platform::LocalTime(int* hour, int* minute, int* second, int* millisecond) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  *hour = now.wHour, *minute = now.wMinute, *second = now.wSecond, *millisecond = now.wMilliseconds;
}

bool Win32Platform::LogFolder(std::string* folder) {
  wchar_t base[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base))) return false;
  WideText path = WideText(base) + L"\\Quillet";
  if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  *folder = HostFromWide(path + L"\\");
  return true;
}

bool Win32Platform::AppendToFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(WideFromHost(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  // Written, the bytes are the system's: a crash of the program, or a call
  // that never returns, no longer loses them. (Flushing each line to the
  // disk would slow every call down for the rare machine that fails whole.)
  CloseHandle(file);
  return whole;
}

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

bool OpenClipboardSoon(HWND owner) {
  constexpr DWORD kWaitMs = 2000;
  constexpr uint32_t kRetryMs = 50;
  for (DWORD start = GetTickCount(); !OpenClipboard(owner);) {
    if (GetTickCount() - start >= kWaitMs) {
      Show("クリップボードを開けませんでした。", kErrorStyle);
      return false;
    }
    ThePlatform().Sleep(kRetryMs);
  }
  return true;
}

HGLOBAL GlobalCopy(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  void* memory = block ? GlobalLock(block) : nullptr;
  if (!memory) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  memcpy(memory, bytes, size);
  GlobalUnlock(block);
  return block;
}
