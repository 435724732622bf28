// End-to-end fixture: runs the real Quillet.exe (beside this test program)
// on a simulated P/ECE and drives it through its windows, as a user would.
//
// Every wait has a time-out, so a program that hangs or never shows what a
// test waits for fails that test instead of stopping the run.
#ifndef QUILLET_TESTS_E2E_QUILLET_FIXTURE_H
#define QUILLET_TESTS_E2E_QUILLET_FIXTURE_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

constexpr DWORD kWaitMs = 15000;     // long enough for a cold start under Wine
constexpr UINT kTrayMessage = WM_APP + 100;
constexpr UINT kListId = 1000;
constexpr UINT kBoxTextId = 0xFFFF;  // the text control of a message box

// Polls pred every few milliseconds until it holds or ms have passed.
bool WaitUntil(const std::function<bool()>& pred, DWORD ms = kWaitMs);

// The settings file "Quillet.INI" in the Windows directory.
std::string IniPath();
void DeleteIni();
void WriteIni(const std::string& text);  // raw bytes, CP932
std::string ReadIni();                   // raw bytes; empty when missing
std::vector<std::string> IniLines();     // in file order, line ends cut
std::vector<std::string> IniSections();  // section names in file order
std::vector<std::string> IniKeys(const std::string& section);  // in file order
std::string IniValue(const std::string& section, const std::string& key,
                     const std::string& fallback = "");

// Quillet.exe beside this test program, and its folder with a backslash.
std::string ProgramPath();
std::string ProgramFolder();

// Texts of another process's windows and controls.
std::string WindowText(HWND window);
std::string ClassName(HWND window);

class QuilletTest : public ::testing::Test {
 protected:
  // A fresh simulated device home with device 0 present, no settings file,
  // and no Quillet left running from an earlier test.
  void SetUp() override;
  // Ends a Quillet that the test left running.
  void TearDown() override;

  const std::string& SimHome() const { return home_; }

  // Starts Quillet.exe with the given argument text.
  bool Launch(const std::string& args = "");
  bool Running() const;
  DWORD ProcessId() const { return process_.dwProcessId; }
  // Waits until the process ends; false on time-out.
  bool WaitExit(DWORD ms = kWaitMs);
  void Kill();

  // The main window: a top-level window of the process whose title starts
  // with "Quillet" and that holds the list control. Visible or not.
  HWND WaitMainWindow(DWORD ms = kWaitMs);
  HWND FindMainWindow() const;
  HWND Main() const { return main_; }
  HWND List() const;
  std::string Title() const { return WindowText(main_); }
  bool WaitTitle(const std::string& title, DWORD ms = kWaitMs);

  // The list box's items and selection.
  std::vector<std::string> ListItems() const;
  std::vector<int> SelectedIndexes() const;
  bool WaitListItems(const std::vector<std::string>& items, DWORD ms = kWaitMs);
  void SelectItem(int index, bool selected = true);

  // Input, posted as the window would receive it.
  void PressKey(UINT vk);              // key-down (and up) to the list
  void SysCommand(WPARAM command);     // WM_SYSCOMMAND to the main window
  void PostCommand(WPARAM id);         // WM_COMMAND to the main window
  void TrayNotify(LPARAM mouseMessage);
  void Close();                        // WM_CLOSE to the main window

  // Message boxes (#32770 windows of the process with a text control).
  std::vector<HWND> MessageBoxes() const;
  static std::string BoxText(HWND box);
  // The first box whose text satisfies pred, or null after ms.
  HWND WaitBox(const std::function<bool(const std::string&)>& pred,
               DWORD ms = kWaitMs);
  HWND WaitBox(const std::string& text, DWORD ms = kWaitMs);
  // Presses the button with the given id (IDOK, IDYES, ...) and waits for
  // the box to go away; false if the box has no such button or stays.
  bool Answer(HWND box, int buttonId, DWORD ms = kWaitMs);
  bool WaitNoBoxes(DWORD ms = kWaitMs);

  // True when the program's user-interface thread answers a sent message
  // (it is not stuck in a device operation or a hang). Posted input may
  // still be queued: tests wait for what it shows instead.
  bool Responsive(DWORD ms = kWaitMs) const;
  // Lets posted input be handled before a test checks that nothing changed.
  void Quiesce();

  // Strings the simulator's call log holds; call lines as "name(args) = status".
  static std::vector<std::string> CallLog();
  static int CountCalls(const std::string& prefix);

 private:
  static void EndStrayInstances();
  std::string home_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

}  // namespace e2e

#endif
