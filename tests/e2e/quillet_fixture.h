// End-to-end fixture: runs the real Quillet.exe (beside this test program) on
// a simulated P/ECE and drives it through its windows, as a user would.
// Texts are read as UTF-16 and compared as code page 932, so the tests read
// the same on every system language. Every wait has a time-out.
#ifndef QUILLET_TESTS_E2E_QUILLET_FIXTURE_H
#define QUILLET_TESTS_E2E_QUILLET_FIXTURE_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stand-ins/pieceif/simulator.h"
#include "tests/support/texts.h"

namespace e2e {

using Strings = std::vector<std::string>;
constexpr DWORD kWaitMs = 15000;   // a cold start under Wine

bool WaitUntil(const std::function<bool()>& pred, DWORD ms = kWaitMs);
std::wstring Wide(const std::string& utf8);
std::string Cp932(const wchar_t* text);
std::string Text(HWND window);      // code page 932
std::string ProgramFolder();        // of Quillet.exe, with its backslash
std::string IniPath();              // Quillet.INI in the Windows folder
// Its text as code page 932, also from the UTF-16 file a system with
// another code page makes.
std::string IniText();
std::string ReadFile(const std::string& path);   // "<missing>" when there is none
std::string LogPath();              // the trace, Quillet.log in the local application data
void WriteFile(const std::string& path, const std::string& bytes);
// A command line run in folder; Launch runs Quillet.exe with args from
// folder (its own by default).
PROCESS_INFORMATION RunCommand(const std::string& commandLine, const std::string& folder = ProgramFolder());
PROCESS_INFORMATION Launch(const std::string& args, const std::string& folder = ProgramFolder());
bool Ends(PROCESS_INFORMATION process, DWORD ms = kWaitMs);   // in time; its handles let go either way
// A visible top-level window of process pid holding control id, with that
// text when one is given.
HWND FindDialog(DWORD pid, int id, DWORD ms = kWaitMs, const std::string& text = "");
Strings DropPaths(HANDLE drop);    // a file-drop list's paths, UTF-8

class QuilletTest : public ::testing::Test {
 protected:
  void SetUp() override;      // a fresh device home with device 0, no settings file
  void TearDown() override;   // ends a Quillet the test left running

  // Starts Quillet.exe with args and waits for its window's first listing.
  bool Start(const std::string& args = "", const std::string& folder = ProgramFolder());
  bool Close();               // WM_CLOSE, then the process must end
  HWND List() const { return GetDlgItem(main_, 1000); }
  std::string Title() const { return Text(main_); }
  Strings Items() const;      // "*" marks a selected item
  bool WaitItems(const Strings& items) { return WaitUntil([&] { return Items() == items; }); }
  void Key(UINT vk) const;    // a key-down and key-up on the list
  // Keys pressed together and let go, through the system's input into the
  // window in front, as a user types them.
  void Chord(std::initializer_list<WORD> keys) const;
  // A message box of the program showing text; Answer presses a button.
  HWND Box(const std::string& text) const { return FindDialog(process_.dwProcessId, 0xFFFF, kWaitMs, text); }
  bool Answer(HWND box, int id) const;
  // Selects these items, holds Ctrl and drags the last of them with the
  // mouse onto a drop target beside the window; what it received, as
  // "name=bytes" (the name as code page 932).
  Strings DragOut(const std::vector<int>& items) const;

  std::string home_;          // the device home, a Windows path
  HWND main_ = nullptr;
  PROCESS_INFORMATION process_{};
};

}  // namespace e2e

#endif
