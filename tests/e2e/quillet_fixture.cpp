#include "tests/e2e/quillet_fixture.h"

#include <stdio.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "stand-ins/pieceif/simulator.h"

namespace e2e {
namespace {

constexpr DWORD kSendMs = 5000;  // one sent message to the program
constexpr DWORD kPollMs = 20;

std::string Folder(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void MakeFolders(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\')
      CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// Sends a message to a window of the program; false if it does not answer.
bool SendTo(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, w, l, SMTO_ABORTIFHUNG, kSendMs,
                           &answer))
    return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

struct WindowsOf {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowsOf*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  WindowsOf search{pid, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsMainWindow(HWND window) {
  return WindowText(window).compare(0, 7, "Quillet") == 0 &&
         GetDlgItem(window, kListId) != nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& pred, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return pred();
    Sleep(kPollMs);
  }
}

// --- settings file -------------------------------------------------------

std::string IniPath() {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string path = windows;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + "Quillet.INI";
}

void DeleteIni() {
  DeleteFileA(IniPath().c_str());
  // The profile functions may keep the file's contents cached.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quillet.INI");
}

void WriteIni(const std::string& text) {
  std::ofstream out(IniPath(), std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quillet.INI");
}

std::string ReadIni() {
  std::ifstream in(IniPath(), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::vector<std::string> IniLines() {
  std::vector<std::string> lines;
  std::istringstream in(ReadIni());
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> IniSections() {
  std::vector<std::string> sections;
  for (const std::string& line : IniLines())
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      sections.push_back(line.substr(1, line.size() - 2));
  return sections;
}

std::vector<std::string> IniKeys(const std::string& section) {
  std::vector<std::string> keys;
  bool inside = false;
  for (const std::string& line : IniLines()) {
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      inside = lstrcmpiA(line.substr(1, line.size() - 2).c_str(),
                         section.c_str()) == 0;
    } else if (inside) {
      size_t eq = line.find('=');
      if (eq != std::string::npos) keys.push_back(line.substr(0, eq));
    }
  }
  return keys;
}

std::string IniValue(const std::string& section, const std::string& key,
                     const std::string& fallback) {
  std::vector<char> buffer(4096);
  GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                           buffer.data(), static_cast<DWORD>(buffer.size()),
                           IniPath().c_str());
  return buffer.data();
}

std::string ProgramFolder() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return Folder(self);
}

std::string ProgramPath() { return ProgramFolder() + "Quillet.exe"; }

// --- window texts --------------------------------------------------------

std::string WindowText(HWND window) {
  if (!window) return std::string();
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// --- the fixture ---------------------------------------------------------

void QuilletTest::SetUp() {
  EndStrayInstances();
  const ::testing::TestInfo* info =
      ::testing::UnitTest::GetInstance()->current_test_info();
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)  // parameterised tests have slashes in their names
    if (c == '/' || c == '\\') c = '_';
  home_ = std::string(temp) + "quillet-e2e\\" + name;
  RemoveTree(home_);
  MakeFolders(home_);
  piecesim::SetHome(home_);
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  ASSERT_TRUE(piecesim::DeviceExists(0)) << "cannot make a device in " << home_;
  // Quillet's pieceif.dll finds the same home through its environment.
  SetEnvironmentVariableA("PIECE_SIM_HOME", home_.c_str());
  DeleteIni();
}

void QuilletTest::TearDown() {
  if (Running()) Kill();
  if (process_.hProcess) CloseHandle(process_.hProcess);
  if (process_.hThread) CloseHandle(process_.hThread);
  process_ = PROCESS_INFORMATION{};
  main_ = nullptr;
}


void QuilletTest::EndStrayInstances() {
  // A Quillet left over by an earlier test (one started through the shell,
  // say) would take the next start's command line and end that start.
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "Quillet.exe") != 0) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                 entry.th32ProcessID);
    if (!process) continue;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kWaitMs);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

bool QuilletTest::Launch(const std::string& args) {
  std::string program = ProgramPath();
  std::string line = "\"" + program + "\"";
  if (!args.empty()) line += " " + args;
  std::vector<char> command(line.begin(), line.end());
  command.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  main_ = nullptr;
  std::string folder = Folder(program);
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE,
                      0, nullptr, folder.c_str(), &startup, &process_)) {
    ADD_FAILURE() << "cannot start " << program << " (error " << GetLastError()
                  << ")";
    return false;
  }
  return true;
}

bool QuilletTest::Running() const {
  return process_.hProcess &&
         WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool QuilletTest::WaitExit(DWORD ms) {
  if (!process_.hProcess) return true;
  return WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0;
}

void QuilletTest::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.hProcess, 1);
  WaitForSingleObject(process_.hProcess, kWaitMs);
}

HWND QuilletTest::FindMainWindow() const {
  if (!process_.hProcess) return nullptr;
  for (HWND window : TopLevelWindows(process_.dwProcessId))
    if (IsMainWindow(window)) return window;
  return nullptr;
}

HWND QuilletTest::WaitMainWindow(DWORD ms) {
  WaitUntil([&] { return (main_ = FindMainWindow()) != nullptr || !Running(); },
            ms);
  return main_;
}

HWND QuilletTest::List() const {
  return main_ ? GetDlgItem(main_, kListId) : nullptr;
}

bool QuilletTest::WaitTitle(const std::string& title, DWORD ms) {
  return WaitUntil([&] { return Title() == title; }, ms);
}

std::vector<std::string> QuilletTest::ListItems() const {
  // Fetched as UTF-16 and turned back into the ANSI code page: Wine hands an
  // ANSI LB_GETTEXT from another process the wide text.
  std::vector<std::string> items;
  HWND list = List();
  LRESULT count = 0;
  if (!list || !SendTo(list, LB_GETCOUNT, 0, 0, &count) || count < 0)
    return items;
  for (LRESULT i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG,
                             kSendMs, &length) ||
        static_cast<LRESULT>(length) < 0)
      break;
    std::vector<wchar_t> wide(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, i,
                             reinterpret_cast<LPARAM>(wide.data()),
                             SMTO_ABORTIFHUNG, kSendMs, &got) ||
        static_cast<LRESULT>(got) < 0)
      break;
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr,
                        nullptr);
    items.emplace_back(text);
  }
  return items;
}

std::vector<int> QuilletTest::SelectedIndexes() const {
  std::vector<int> selected;
  HWND list = List();
  LRESULT count = 0;
  if (!list || !SendTo(list, LB_GETCOUNT, 0, 0, &count)) return selected;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT sel = 0;
    if (SendTo(list, LB_GETSEL, i, 0, &sel) && sel > 0)
      selected.push_back(static_cast<int>(i));
  }
  return selected;
}

bool QuilletTest::WaitListItems(const std::vector<std::string>& items,
                                DWORD ms) {
  return WaitUntil([&] { return ListItems() == items; }, ms);
}

void QuilletTest::SelectItem(int index, bool selected) {
  SendTo(List(), LB_SETSEL, selected ? TRUE : FALSE, index, nullptr);
}

void QuilletTest::PressKey(UINT vk) {
  HWND list = List();
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
  PostMessageA(list, WM_KEYDOWN, vk, scan | 1);
  PostMessageA(list, WM_KEYUP, vk, scan | 1 | 0xC0000000);
}

void QuilletTest::SysCommand(WPARAM command) {
  PostMessageA(main_, WM_SYSCOMMAND, command, 0);
}

void QuilletTest::PostCommand(WPARAM id) {
  PostMessageA(main_, WM_COMMAND, id, 0);
}

void QuilletTest::TrayNotify(LPARAM mouseMessage) {
  PostMessageA(main_, kTrayMessage, 1, mouseMessage);
}

void QuilletTest::Close() { PostMessageA(main_, WM_CLOSE, 0, 0); }

std::vector<HWND> QuilletTest::MessageBoxes() const {
  std::vector<HWND> boxes;
  if (!process_.hProcess) return boxes;
  for (HWND window : TopLevelWindows(process_.dwProcessId))
    if (ClassName(window) == "#32770" && !IsMainWindow(window) &&
        GetDlgItem(window, kBoxTextId) != nullptr && IsWindowVisible(window))
      boxes.push_back(window);
  return boxes;
}

std::string QuilletTest::BoxText(HWND box) {
  HWND text = GetDlgItem(box, kBoxTextId);
  if (!text) return std::string();
  std::vector<char> buffer(4096, '\0');
  LRESULT got = 0;
  if (!SendTo(text, WM_GETTEXT, buffer.size(),
              reinterpret_cast<LPARAM>(buffer.data()), &got))
    return std::string();
  return buffer.data();
}

HWND QuilletTest::WaitBox(const std::function<bool(const std::string&)>& pred,
                          DWORD ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND box : MessageBoxes())
          if (pred(BoxText(box))) return (found = box) != nullptr;
        return !Running();
      },
      ms);
  return found;
}

HWND QuilletTest::WaitBox(const std::string& text, DWORD ms) {
  return WaitBox([&](const std::string& shown) { return shown == text; }, ms);
}

bool QuilletTest::Answer(HWND box, int buttonId, DWORD ms) {
  HWND button = GetDlgItem(box, buttonId);
  if (!box || !button) return false;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); },
                   ms);
}

bool QuilletTest::WaitNoBoxes(DWORD ms) {
  return WaitUntil([&] { return MessageBoxes().empty(); }, ms);
}

bool QuilletTest::Responsive(DWORD ms) const {
  return main_ && WaitUntil([&] { return SendTo(main_, WM_NULL, 0, 0, nullptr); },
                            ms);
}

void QuilletTest::Quiesce() {
  // Two round trips with a pause between: posted input ahead of them has
  // been taken from the queue and handled by then.
  Responsive();
  Sleep(300);
  Responsive();
}

std::vector<std::string> QuilletTest::CallLog() { return piecesim::CallLog(); }

int QuilletTest::CountCalls(const std::string& prefix) {
  int n = 0;
  for (const std::string& line : CallLog())
    if (line.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

}  // namespace e2e
