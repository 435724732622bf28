// The floors for the start-up benchmark: a modal dialog with one list box of
// 50 items, built and linked the same way as Quillet.exe. Built with
// FAIR_FLOOR it also imports the system libraries Quillet imports and does
// what Quillet must do at start: initialise OLE and accept dropped files.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <stdio.h>

namespace {

INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
#ifdef FAIR_FLOOR
      DragAcceptFiles(GetDlgItem(hwnd, 1000), TRUE);
#endif
      for (int i = 0; i < 50; ++i) {
        char text[32];
        snprintf(text, sizeof text, "%6d file%02d.pex", i * 100, i);
        SendDlgItemMessageA(hwnd, 1000, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef FAIR_FLOOR
  // Referenced so that advapi32 is imported, as it is by Quillet.
  static FARPROC volatile registry = reinterpret_cast<FARPROC>(&RegCloseKey);
  (void)registry;
  OleInitialize(nullptr);
#endif
  DialogBoxParamA(instance, MAKEINTRESOURCEA(102), nullptr, Procedure, 0);
#ifdef FAIR_FLOOR
  OleUninitialize();
#endif
  return 0;
}
