#include "app/single_instance_win32.h"

#include <string.h>

#include <string>

#include "app/main_window_win32.h"
#include "app/path_list.h"
#include "app/platform_win32.h"
#include "transfer/transfer.h"

namespace {

const wchar_t kProgramName[] = L"Quillet";

BOOL CALLBACK MatchTitle(HWND window, LPARAM found) {
  wchar_t title[1024];
  int length = GetWindowTextW(window, title, 1024);
  if (length <= 0) return TRUE;
  if (wcsncmp(title, kProgramName, wcslen(kProgramName)) != 0) return TRUE;
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
  // The ANSI text as it always was, unless the ANSI code page cannot say the
  // paths: then UTF-16 under a tag of its own.
  WideText wide = WideFromHost(ArgumentText(HostFromWide(GetCommandLineW()).c_str()));
  std::string said;
  bool lost = !AnsiFromWide(wide, &said);
  const char* text = ArgumentText(GetCommandLineA());
  COPYDATASTRUCT record;
  record.dwData = lost ? kHandOverWideTag : kHandOverTag;
  record.cbData = static_cast<DWORD>(lost ? wide.size() * sizeof(wchar_t) : strlen(text));
  record.lpData = lost ? static_cast<void*>(&wide[0]) : const_cast<char*>(text);
  return SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

void TransferCommandLine() {
  std::string copy = ArgumentText(HostFromWide(GetCommandLineW()).c_str());
  SplitPathList(copy.c_str(), commandLinePaths);
  TransferFiles(commandLinePaths);
}
