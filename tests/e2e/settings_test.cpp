// The settings dialog opened from the system menu, and the file associations
// its buttons make in the (test prefix's) registry, down to opening a .pex
// from the shell.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "stand-ins/pieceif/simulator.h"
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

constexpr int kModeMessage = 1002, kModeSwap = 1003, kFolder = 1004, kBrowse = 1005,
              kWarnOverwrite = 1006, kFolderLabel = 1007, kOpenFolder = 1008, kBeep = 1009,
              kRegister = 1011, kRefreshIcons = 1012, kUnregister = 1013;
const std::vector<int> kSwapControls = {kFolderLabel, kFolder, kBrowse, kWarnOverwrite,
                                        kOpenFolder};

const char kCommandKey[] = "KorvaSE\\shell\\open\\command";
const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
const char kMetricsKey[] = "Control Panel\\Desktop\\WindowMetrics";
const char kRegistered[] = "拡張子関連付けの登録を完了しました。";
const char kUnregistered[] = "拡張子関連付けの登録を解除しました。";

// The value as text, or "(none)" when the key or value is missing.
std::string RegText(HKEY root, const std::string& path, const char* name) {
  char buffer[1024] = "";
  DWORD size = sizeof buffer - 1;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "(none)";
  LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                 &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::string(buffer) : "(none)";
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void SetRegText(HKEY root, const std::string& path, const char* name, const std::string& text) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void DeleteRegValue(HKEY root, const std::string& path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\') + 1);
}

class SettingsTest : public QuilletTest {
 protected:
  void SetUp() override {
    QuilletTest::SetUp();
    ClearAssociations();
    savedIconSize_ = RegText(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size");
  }
  void TearDown() override {
    QuilletTest::TearDown();
    CloseShellStartedInstances();
    RestoreComponent();
    ClearAssociations();
    if (savedIconSize_ == "(none)")
      DeleteRegValue(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size");
    else
      SetRegText(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size", savedIconSize_);
  }

  static void ClearAssociations() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "KorvaSE");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pex");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pfs");
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kFileExts) + ".pex").c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kFileExts) + ".pfs").c_str());
  }

  // Starts the program and opens the settings dialog from the system menu.
  HWND StartAndOpenSettings() {
    if (!Launch() || !WaitMainWindow()) {
      ADD_FAILURE() << "no main window";
      return nullptr;
    }
    return OpenSettings();
  }

  HWND OpenSettings() {
    SysCommand(100);
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindSettings()) != nullptr; });
    EXPECT_TRUE(found) << "the settings dialog did not open";
    return found;
  }

  HWND FindSettings() const {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      if (pid == ProcessId() && WindowText(window) == "設定" &&
          GetDlgItem(window, kModeSwap) && IsWindowVisible(window))
        return window;
    }
    return nullptr;
  }

  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
  static bool Checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // What the five swap controls show: all enabled (1), all disabled (0), mixed (-1).
  static int SwapControlsEnabled(HWND dialog) {
    int enabled = 0;
    for (int id : kSwapControls) enabled += Enabled(dialog, id);
    return enabled == 5 ? 1 : enabled == 0 ? 0 : -1;
  }

  // A click as the user makes it: the button checks itself and notifies.
  static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  // Pressing a button that starts a nested loop (a message box) must not block the test.
  static void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  static void SetFolderText(HWND dialog, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, kFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // An edit box of another process answers only WM_GETTEXT.
  static std::string FolderText(HWND dialog) {
    char text[1024] = "";
    SendMessageA(GetDlgItem(dialog, kFolder), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }

  bool WaitSettingsClosed() {
    return WaitUntil([&] { return FindSettings() == nullptr; });
  }
  void CloseAndWaitExit() {
    Close();
    ASSERT_TRUE(WaitExit()) << "the program did not end";
  }

  // Presses an association button and answers the box with text.
  void PressAndAnswer(HWND dialog, int id, const std::string& text) {
    PostClick(dialog, id);
    HWND box = WaitBox(text);
    ASSERT_TRUE(box) << "no box \"" << text << "\"";
    ASSERT_TRUE(Answer(box, IDOK));
  }

  // Moves korvase.dll away from the program's folder for one test.
  void HideComponent() {
    component_ = FolderOf(ProgramPath()) + "korvase.dll";
    ASSERT_TRUE(MoveFileExA(component_.c_str(), (component_ + ".hidden").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
  }
  void RestoreComponent() {
    if (component_.empty()) return;
    MoveFileExA((component_ + ".hidden").c_str(), component_.c_str(), MOVEFILE_REPLACE_EXISTING);
    component_.clear();
  }

  // Instances the shell started are not the fixture's process.
  void CloseShellStartedInstances() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
      if (WindowText(window).compare(0, 7, "Quillet") != 0 || !GetDlgItem(window, 1000)) continue;
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
      PostMessageA(window, WM_CLOSE, 0, 0);
      if (process) {
        if (WaitForSingleObject(process, kWaitMs) != WAIT_OBJECT_0) TerminateProcess(process, 1);
        CloseHandle(process);
      }
      window = nullptr;
    }
  }

  // A host file in a folder whose name has a space.
  std::string HostFile(const std::string& name, const std::string& bytes) {
    std::string folder = SimHome() + "\\my files";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  std::string savedIconSize_;
  std::string component_;
};

TEST_F(SettingsTest, SwapControlsFollowTheChosenRadioButton) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(IsWindowEnabled(Main())) << "the main window stays disabled while it is open";

  EXPECT_TRUE(Checked(dialog, kModeMessage));
  EXPECT_FALSE(Checked(dialog, kModeSwap));
  EXPECT_EQ(0, SwapControlsEnabled(dialog));
  EXPECT_TRUE(Enabled(dialog, kBeep));

  Click(dialog, kModeSwap);
  EXPECT_EQ(1, SwapControlsEnabled(dialog));
  EXPECT_TRUE(Enabled(dialog, kBeep));
  Click(dialog, kModeMessage);
  EXPECT_EQ(0, SwapControlsEnabled(dialog));
  EXPECT_TRUE(Enabled(dialog, kBeep));

  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
  EXPECT_TRUE(IsWindowEnabled(Main()));

  // Opening again starts from the settings, not from the last clicks.
  dialog = OpenSettings();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(0, SwapControlsEnabled(dialog));
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
}

TEST_F(SettingsTest, SwapModeOpensWithTheControlsEnabled) {
  WriteIni("[config]\r\nmode=1\r\nfolder=C:\\swap\\\r\nwarnoverwr=0\r\nopenfolder=1\r\nbeep=1\r\n");
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Checked(dialog, kModeSwap));
  EXPECT_FALSE(Checked(dialog, kModeMessage));
  EXPECT_EQ(1, SwapControlsEnabled(dialog));
  EXPECT_EQ("C:\\swap\\", FolderText(dialog));
  EXPECT_FALSE(Checked(dialog, kWarnOverwrite));
  EXPECT_TRUE(Checked(dialog, kOpenFolder));
  EXPECT_TRUE(Checked(dialog, kBeep));
  EXPECT_EQ(256, SendMessageA(GetDlgItem(dialog, kFolder), EM_GETLIMITTEXT, 0, 0));
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
}

TEST_F(SettingsTest, CancelKeepsEverySetting) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  Click(dialog, kModeSwap);
  SetFolderText(dialog, "C:\\elsewhere\\");
  Click(dialog, kWarnOverwrite);
  Click(dialog, kOpenFolder);
  Click(dialog, kBeep);
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
  CloseAndWaitExit();

  EXPECT_EQ("0", IniValue("config", "mode"));
  EXPECT_EQ(FolderOf(ProgramPath()), IniValue("config", "folder"));
  EXPECT_EQ("1", IniValue("config", "warnoverwr"));
  EXPECT_EQ("1", IniValue("config", "openfolder"));
  EXPECT_EQ("0", IniValue("config", "beep"));
}

TEST_F(SettingsTest, OkChangesAllFiveAndTheyAreSavedAtExit) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  Click(dialog, kModeSwap);
  SetFolderText(dialog, "C:\\swap here\\");
  Click(dialog, kWarnOverwrite);
  Click(dialog, kOpenFolder);
  Click(dialog, kBeep);
  PostClick(dialog, IDOK);
  ASSERT_TRUE(WaitSettingsClosed());
  // Nothing is written before the program ends.
  EXPECT_EQ("(missing)", IniValue("config", "mode", "(missing)"));

  // The dialog now opens with the new values.
  dialog = OpenSettings();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Checked(dialog, kModeSwap));
  EXPECT_EQ("C:\\swap here\\", FolderText(dialog));
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
  CloseAndWaitExit();

  EXPECT_EQ("1", IniValue("config", "mode"));
  EXPECT_EQ("C:\\swap here\\", IniValue("config", "folder"));
  EXPECT_EQ("0", IniValue("config", "warnoverwr"));
  EXPECT_EQ("0", IniValue("config", "openfolder"));
  EXPECT_EQ("1", IniValue("config", "beep"));
}

TEST_F(SettingsTest, FolderTextOver256IsRefusedAndTheDialogStays) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  Click(dialog, kModeSwap);
  std::string tooLong = "C:\\" + std::string(254, 'a');  // 257 characters
  SetFolderText(dialog, tooLong);
  ASSERT_EQ(tooLong, FolderText(dialog));
  PostClick(dialog, IDOK);
  HWND box = WaitBox("256 文字以内で入力してください。");
  ASSERT_TRUE(box);
  ASSERT_TRUE(Answer(box, IDOK));
  Quiesce();
  ASSERT_EQ(dialog, FindSettings()) << "the dialog closed";

  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui));
  EXPECT_EQ(GetDlgItem(dialog, kFolder), gui.hwndFocus);
  LRESULT selection = SendMessageA(GetDlgItem(dialog, kFolder), EM_GETSEL, 0, 0);
  EXPECT_EQ(0, LOWORD(selection));
  EXPECT_EQ(257, HIWORD(selection));

  // 256 characters are accepted.
  std::string longest = tooLong.substr(0, 256);
  SetFolderText(dialog, longest);
  PostClick(dialog, IDOK);
  ASSERT_TRUE(WaitSettingsClosed());
  CloseAndWaitExit();
  EXPECT_EQ(longest, IniValue("config", "folder"));
  EXPECT_EQ("1", IniValue("config", "mode"));
}

TEST_F(SettingsTest, BrowserStartsAtTheFolderTextAndSetsTheChoice) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  Click(dialog, kModeSwap);
  auto findBrowser = [&]() -> HWND {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      if (pid == ProcessId() && GetWindow(window, GW_OWNER) == dialog && IsWindowVisible(window))
        return window;
    }
    return nullptr;
  };

  // Cancelling keeps the text, even one that names no folder.
  SetFolderText(dialog, "C:\\no such folder\\");
  PostClick(dialog, kBrowse);
  HWND browser = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (browser = findBrowser()) != nullptr; }));
  ASSERT_TRUE(Answer(browser, IDCANCEL));
  Quiesce();
  EXPECT_EQ("C:\\no such folder\\", FolderText(dialog));

  // OK on the preselected folder gives back its path.
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  SetFolderText(dialog, std::string(windows) + "\\system32");
  PostClick(dialog, kBrowse);
  ASSERT_TRUE(WaitUntil([&] { return (browser = findBrowser()) != nullptr; }));
  Sleep(500);  // the preselection follows the browser's initialisation
  ASSERT_TRUE(Answer(browser, IDOK));
  Quiesce();
  EXPECT_EQ(0, lstrcmpiA((std::string(windows) + "\\system32").c_str(), FolderText(dialog).c_str()))
      << FolderText(dialog);
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
}

TEST_F(SettingsTest, AssociatingWritesCommandAndBindingsAndKeepsIconSize) {
  SetRegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pex", "Application", "notepad.exe");
  SetRegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pfs", "Application", "wordpad.exe");
  SetRegText(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size", "32");
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);

  PressAndAnswer(dialog, kRegister, kRegistered);
  EXPECT_EQ("\"" + ProgramPath() + "\" \"%1\"", RegText(HKEY_CLASSES_ROOT, kCommandKey, nullptr));
  EXPECT_EQ("KorvaSE", RegText(HKEY_CLASSES_ROOT, ".pex", nullptr));
  EXPECT_EQ("KorvaSE", RegText(HKEY_CLASSES_ROOT, ".pfs", nullptr));
  EXPECT_EQ("(none)", RegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pex", "Application"));
  EXPECT_EQ("(none)", RegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pfs", "Application"));
  EXPECT_EQ("32", RegText(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size"));

  // The icon refresh alone leaves the size as it was and shows nothing.
  PostClick(dialog, kRefreshIcons);
  Quiesce();
  EXPECT_EQ("32", RegText(HKEY_CURRENT_USER, kMetricsKey, "Shell Icon Size"));
  EXPECT_TRUE(WaitUntil([&] { return FindSettings() == dialog; }, 1000));

  // Cancel does not undo what the buttons did.
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
  EXPECT_EQ("KorvaSE", RegText(HKEY_CLASSES_ROOT, ".pex", nullptr));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
}

TEST_F(SettingsTest, MissingComponentNamesBothFoldersAndWritesNothing) {
  HideComponent();
  SetRegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pex", "Application", "notepad.exe");
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);

  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, MAX_PATH);
  std::string message = "korvase.dllがロードできません。\nアプリケーションと同じフォルダ(" +
                        FolderOf(ProgramPath()) + ")\nまたは、Windowsシステムフォルダ(" + system +
                        ")に、\nkorvase.dllが必要です。";
  PressAndAnswer(dialog, kRegister, message);
  Quiesce();
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KorvaSE"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".pex"));
  EXPECT_EQ("notepad.exe",
            RegText(HKEY_CURRENT_USER, std::string(kFileExts) + ".pex", "Application"));
  EXPECT_EQ(dialog, FindSettings());

  // Removing without the component still deletes the command keys, but
  // reports the component instead of completing.
  SetRegText(HKEY_CLASSES_ROOT, kCommandKey, nullptr, "x");
  PressAndAnswer(dialog, kUnregister, message);
  Quiesce();
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KorvaSE\\shell"));
  EXPECT_FALSE(WaitBox(kUnregistered, 500));
}

TEST_F(SettingsTest, RemovingTheAssociationDeletesTheThreeKeys) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  PressAndAnswer(dialog, kRegister, kRegistered);
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));

  PressAndAnswer(dialog, kUnregister, kUnregistered);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KorvaSE\\shell\\open"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KorvaSE\\shell"));
  EXPECT_EQ("(none)", RegText(HKEY_CLASSES_ROOT, ".pex", nullptr));
  EXPECT_EQ("(none)", RegText(HKEY_CLASSES_ROOT, ".pfs", nullptr));
  EXPECT_EQ(dialog, FindSettings());
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());
}

TEST_F(SettingsTest, OpeningAPexFromTheShellWritesItToTheDevice) {
  HWND dialog = StartAndOpenSettings();
  ASSERT_TRUE(dialog);
  PressAndAnswer(dialog, kRegister, kRegistered);
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(WaitSettingsClosed());

  // Through the running instance.
  std::string first = HostFile("First.PEX", "program one");
  ASSERT_GT(reinterpret_cast<INT_PTR>(
                ShellExecuteA(nullptr, "open", first.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
            32);
  EXPECT_TRUE(WaitUntil([] { return piecesim::HasFile(0, "first.pex"); }))
      << "the running instance did not write the file";

  // And through a new instance once none runs.
  CloseAndWaitExit();
  std::string second = HostFile("second.pex", "program two");
  ASSERT_GT(reinterpret_cast<INT_PTR>(
                ShellExecuteA(nullptr, "open", second.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
            32);
  std::string bytes;
  EXPECT_TRUE(WaitUntil([&] { return piecesim::GetFile(0, "second.pex", &bytes); }));
  EXPECT_EQ("program two", bytes);
}

}  // namespace
}  // namespace e2e
