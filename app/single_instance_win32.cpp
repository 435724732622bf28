#include "app/single_instance_win32.h"

#include <string.h>

#include <string>

#include "app/main_window_win32.h"
#include "app/path_list.h"
#include "transfer/transfer.h"

namespace {

const char kProgramName[] = "Quillet";

BOOL CALLBACK MatchTitle(HWND window, LPARAM found) {
  char title[1024];
  int length = GetWindowTextA(window, title, sizeof title);
  if (length <= 0) return TRUE;
  if (strncmp(title, kProgramName, strlen(kProgramName)) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

HWND FindRunningInstance() {
  HWND found = nullptr;
  EnumWindows(&MatchTitle, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool HandOverToRunningInstance() {
  HWND running = FindRunningInstance();
  if (!running) return false;
  const char* text = ArgumentText(GetCommandLineA());
  COPYDATASTRUCT record;
  record.dwData = kHandOverTag;
  record.cbData = static_cast<DWORD>(strlen(text));
  record.lpData = const_cast<char*>(text);
  return SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

void TransferCommandLine() {
  std::string copy = ArgumentText(GetCommandLineA());
  SplitPathList(copy.c_str(), commandLinePaths);
  TransferFiles(commandLinePaths);
}
