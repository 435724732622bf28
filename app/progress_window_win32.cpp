#include "app/progress_window_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/dialog_place_win32.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "resources/resource.h"

namespace {

constexpr int kBarRange = 1000;

// The progress bar's class is the common controls', whose library the
// program does not import: it is loaded and its classes registered once.
void RegisterBar() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  using Function = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = LoadLibraryW(L"comctl32.dll");
  auto init = library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx"))) : nullptr;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  if (init) init(&classes);
}

}  // namespace

bool ProgressWindow::Open(HWND owner) {
  RegisterBar();
  hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), owner, &ProgressWindow::Procedure, 0);
  if (!hwnd_) return false;
  SendDlgItemMessageW(hwnd_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
  CenterOverOwner(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
  return true;
}

void ProgressWindow::Close() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void ProgressWindow::SetText(int id, const std::string& deviceText) {
  WideText now(256, L'\0'), text = WideFromDevice(deviceText);
  now.resize(GetDlgItemTextW(hwnd_, id, &now[0], 256));
  if (now != text) SetDlgItemTextW(hwnd_, id, text.c_str());   // unchanged text is not drawn again
}

void ProgressWindow::Show(const ProgressStep& step, uint32_t elapsedMs, size_t waiting, bool stoppable) {
  if (!hwnd_) return;
  SetText(IDC_PROGRESS_STEP, StepLine(step));
  SetText(IDC_PROGRESS_BYTES, BytesLine(step.bytesDone, step.bytesTotal));
  SetText(IDC_PROGRESS_LEFT, TimeLeftLine(step.bytesDone, step.bytesTotal, elapsedMs));
  SetText(IDC_PROGRESS_WAITING, WaitingLine(waiting));
  uint64_t total = step.bytesTotal ? step.bytesTotal : 1;
  SendDlgItemMessageW(hwnd_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(step.bytesDone * kBarRange / total), 0);
  EnableWindow(GetDlgItem(hwnd_, IDCANCEL), stoppable && !TheOperations().StopRequested());
}

// 中止, and Escape on the window: the operation stops after the file in
// flight; the button goes grey, for it has been heard. Files dropped on it
// are the list's, which lies below (none before the main window exists).
INT_PTR CALLBACK ProgressWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_DROPFILES) {
    HWND list = GetDlgItem(GetWindow(hwnd, GW_OWNER), IDC_FILELIST);
    if (list) SendMessageW(list, WM_DROPFILES, wParam, lParam);
    else DragFinish(reinterpret_cast<HDROP>(wParam));
    return TRUE;
  }
  if (message != WM_COMMAND || LOWORD(wParam) != IDCANCEL) return FALSE;
  if (TheOperations().RequestStop()) EnableWindow(GetDlgItem(hwnd, IDCANCEL), FALSE);
  return TRUE;
}
