#include "tests/e2e/quillet_fixture.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
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

// A window of the test that takes OLE drops of files, on the test's thread
// (WaitUntil handles its calls), copying each file at once: the program
// removes them after the drop.
struct DropTarget : IDropTarget {
  explicit DropTarget(POINT at) {
    OleInitialize(nullptr);
    window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, at.x, at.y, 200, 200, 0, 0, 0, 0);
    RegisterDragDrop(window, this);
  }
  ~DropTarget() { RevokeDragDrop(window), DestroyWindow(window), OleUninitialize(); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return *effect = DROPEFFECT_COPY, S_OK; }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return *effect = DROPEFFECT_COPY, S_OK; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data->GetData(&format, &medium) != S_OK) return E_FAIL;
    for (const std::string& path : DropPaths(medium.hGlobal))
      dropped.push_back(Cp932(Wide(path.substr(path.rfind('\\') + 1)).c_str()) + "=" + ReadFile(path));
    ReleaseStgMedium(&medium);
    return *effect = DROPEFFECT_COPY, S_OK;
  }
  HWND window;
  Strings dropped;
};

// Input through the system's queue, as the drag loop reads it; the drop
// target answers the drag loop while the test waits.
void Send(DWORD type, DWORD flags, WORD vk = 0, POINT at = {}) {
  INPUT in = {};
  in.type = type;
  if (type == INPUT_KEYBOARD) in.ki.wVk = vk, in.ki.dwFlags = flags;
  else in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE, in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
       in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  WaitUntil([] { return false; }, 100);
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

Strings DropPaths(HANDLE drop) {
  Strings paths;
  for (UINT i = 0, n = drop ? DragQueryFileW(static_cast<HDROP>(drop), ~0u, nullptr, 0) : 0; i < n; ++i) {
    wchar_t path[MAX_PATH] = L"";
    char utf8[MAX_PATH * 3] = "";
    DragQueryFileW(static_cast<HDROP>(drop), i, path, MAX_PATH);
    WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
    paths.push_back(utf8);
  }
  return paths;
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
  DeleteFileA(LogPath().c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quillet.INI");   // the profile cache
}

std::string LogPath() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\Quillet\\Quillet.log";
}

void QuilletTest::TearDown() {
  if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
  if (process_.hProcess) WaitForSingleObject(process_.hProcess, kWaitMs), CloseHandle(process_.hProcess), CloseHandle(process_.hThread);
  process_ = PROCESS_INFORMATION{};
}

PROCESS_INFORMATION Launch(const std::string& args, const std::string& folder) {
  return RunCommand("\"" + folder + "Quillet.exe\" " + args, folder);
}

PROCESS_INFORMATION RunCommand(const std::string& commandLine, const std::string& folder) {
  std::wstring line = Wide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // A start Wine refuses is tried again before it counts, and says why.
  for (int attempt = 0; attempt < 3; ++attempt, Sleep(500))
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(), &startup, &process))
      return process;
  ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
  return process;
}

bool Ends(PROCESS_INFORMATION process, DWORD ms) {
  bool ended = WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0;
  CloseHandle(process.hProcess), CloseHandle(process.hThread);
  return ended;
}

bool QuilletTest::Start(const std::string& args, const std::string& folder) {
  if (!(process_ = Launch(args, folder)).hProcess) return false;
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

// Input that reaches the program while a device call of its runs is
// dropped, as under a modal box, and an operation's last calls (closing the
// connection) follow its last effect a test can see by moments.
void Settle() { WaitUntil([] { return false; }, 100); }

void QuilletTest::Key(UINT vk) const {
  Settle();
  PostMessageW(List(), WM_KEYDOWN, vk, 1);
  PostMessageW(List(), WM_KEYUP, vk, 0xC0000001);
}

void QuilletTest::Chord(std::initializer_list<WORD> keys) const {
  Settle();
  SetForegroundWindow(main_);
  for (WORD key : keys) Send(INPUT_KEYBOARD, 0, key);
  for (auto key = keys.end(); key != keys.begin();) Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, *--key);
}

bool QuilletTest::Answer(HWND box, int id) const {
  PostMessageW(box, WM_COMMAND, id, 0);
  return WaitUntil([&] { return !IsWindow(box); });
}

Strings QuilletTest::DragOut(const std::vector<int>& items) const {
  Settle();
  RECT main;
  GetWindowRect(main_, &main);
  DropTarget target(POINT{main.right + 40, main.top});
  for (int item : items) SendMessageW(List(), LB_SETSEL, TRUE, item);
  int height = static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0)), top = 0;
  SendTo(List(), LB_GETTOPINDEX, 0, 0, reinterpret_cast<DWORD_PTR*>(&top));
  POINT from{30, height * (items.back() - top) + height / 2}, to{main.right + 140, main.top + 100};
  ClientToScreen(List(), &from);
  Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, from);
  Send(INPUT_KEYBOARD, 0, VK_CONTROL);
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN, 0, from);
  for (int step = 1; step <= 10; ++step)
    Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
  Send(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, POINT{to.x + 3, to.y + 3});
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTUP, 0, to);
  Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_CONTROL);
  WaitUntil([&] { return target.dropped.size() == items.size(); });
  return target.dropped;
}

}  // namespace e2e
