#include "tests/e2e/quillet_fixture.h"

#include <stdio.h>

namespace e2e {

std::string Cp932(const wchar_t* text) {
  std::string out(WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(932, 0, text, -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
  return out.substr(0, out.size() - 1);
}

namespace {

// Sends to a window of the program; false when it does not answer in time.
bool SendTo(HWND window, UINT message, WPARAM w, LPARAM l, DWORD_PTR* result = nullptr) {
  return SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, result) != 0;
}

HWND FindWindowOf(DWORD pid, const std::function<bool(HWND)>& match) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && match(w)) return w;
  }
  return nullptr;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size() + 1, L'\0');
  out.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], static_cast<int>(out.size())) - 1);
  return out;
}

// Messages are handled while waiting: a drop target of the test's own is
// called on this thread.
bool WaitUntil(const std::function<bool()>& pred, DWORD ms) {
  for (DWORD start = GetTickCount(); !pred();) {
    if (GetTickCount() - start >= ms) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  }
  return true;
}

std::string Text(HWND window) {
  wchar_t text[4096] = L"";
  SendTo(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return Cp932(text);
}

std::string ProgramFolder() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return std::string(self, strrchr(self, '\\') + 1);
}

std::string IniPath() {
  char windows[MAX_PATH] = "";
  return std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\Quillet.INI";
}

std::string IniText() {
  std::string bytes = ReadFile(IniPath());
  if (bytes.rfind("\xFF\xFE", 0) != 0) return bytes;
  return Cp932(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2).c_str());
}

std::string ReadFile(const std::string& path) {
  FILE* f = _wfopen(Wide(path).c_str(), L"rb");
  if (!f) return "<missing>";
  std::string bytes;
  for (int c; (c = getc(f)) != EOF;) bytes += static_cast<char>(c);
  fclose(f);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  if (FILE* f = _wfopen(Wide(path).c_str(), L"wb")) fwrite(bytes.data(), 1, bytes.size(), f), fclose(f);
}

HWND FindDialog(DWORD pid, int id, DWORD ms, const std::string& text) {
  auto match = [&](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, id) && (text.empty() || Text(GetDlgItem(w, id)) == text); };
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOf(pid, match)) != nullptr; }, ms);
  return found;
}

void QuilletTest::SetUp() {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  home_ = std::string(temp) + "quillet-e2e";
  CreateDirectoryA(home_.c_str(), nullptr);
  piecesim::SetHome(home_);
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  SetEnvironmentVariableA("PIECE_SIM_HOME", home_.c_str());   // the program's pieceif.dll finds it so
  DeleteFileA(IniPath().c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quillet.INI");   // the profile cache
}

void QuilletTest::TearDown() {
  if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
  if (process_.hProcess) WaitForSingleObject(process_.hProcess, kWaitMs), CloseHandle(process_.hProcess), CloseHandle(process_.hThread);
  process_ = PROCESS_INFORMATION{};
}

PROCESS_INFORMATION Launch(const std::string& args) {
  std::wstring line = Wide("\"" + ProgramFolder() + "Quillet.exe\" " + args);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(ProgramFolder()).c_str(), &startup, &process);
  return process;
}

bool QuilletTest::Start(const std::string& args) {
  if (!(process_ = Launch(args)).hProcess) return false;
  auto isMain = [](HWND w) { return GetDlgItem(w, 1000) && Text(w).compare(0, 7, "Quillet") == 0; };
  // The first listing is in when the title carries the status.
  return WaitUntil([&] { return (main_ = FindWindowOf(process_.dwProcessId, isMain)) && Title() != "Quillet"; });
}

bool QuilletTest::Close() {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  return WaitForSingleObject(process_.hProcess, kWaitMs) == WAIT_OBJECT_0;
}

Strings QuilletTest::Items() const {
  Strings items;
  DWORD_PTR count = 0, selected = 0;
  SendTo(List(), LB_GETCOUNT, 0, 0, &count);
  for (DWORD_PTR i = 0; i < count; ++i) {
    wchar_t text[1024] = L"";   // items are short: a size and a name of 31 bytes at most
    if (!SendTo(List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) || !SendTo(List(), LB_GETSEL, i, 0, &selected)) break;
    items.push_back((selected == 1 ? "*" : "") + Cp932(text));
  }
  return items;
}

void QuilletTest::Key(UINT vk) const {
  PostMessageW(List(), WM_KEYDOWN, vk, 1);
  PostMessageW(List(), WM_KEYUP, vk, 0xC0000001);
}

bool QuilletTest::Answer(HWND box, int id) const {
  PostMessageW(box, WM_COMMAND, id, 0);
  return WaitUntil([&] { return !IsWindow(box); });
}

}  // namespace e2e
