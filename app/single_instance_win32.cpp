#include "app/single_instance_win32.h"

#include <string.h>

#include <string>

#include "app/main_window_win32.h"
#include "app/operations.h"
#include "app/path_list.h"
#include "app/platform_win32.h"
#include "transfer/transfer.h"

namespace {

// Held by the working instance of the session for its whole run, from
// before it reads its settings: a start that cannot take it hands over.
const wchar_t kInstanceMutex[] = L"Local\\Quillet.WorkingInstance";
constexpr DWORD kPollMs = 100;

BOOL CALLBACK MatchMark(HWND window, LPARAM found) {
  if (!GetPropW(window, kMainWindowMark)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// True when the window accepted this start's argument text.
bool SendHandOver(HWND running) {
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

}  // namespace

HWND FindRunningInstance() {
  HWND found = nullptr;
  EnumWindows(&MatchMark, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool HandOverToRunningInstance() {
  // The mutex is never closed: the system releases it when the process ends.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
  for (;;) {
    DWORD taken = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) return false;
    HWND running = FindRunningInstance();
    if (running && SendHandOver(running)) {
      if (mutex) CloseHandle(mutex);
      return true;
    }
    if (!mutex) return false;
    // The working instance has no window yet (it writes its own command
    // line) or no more (it ends): wait for either.
    taken = WaitForSingleObject(mutex, kPollMs);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) return false;
  }
}

std::vector<WrittenFile> commandLineWritten;

void TransferCommandLine() {
  std::string copy = ArgumentText(HostFromWide(GetCommandLineW()).c_str());
  SplitPathList(copy.c_str(), commandLinePaths);
  TheOperations().Submit(kinds::kWrite, [] { commandLineWritten = TransferFiles(commandLinePaths); });
}
