// The floor for the start-up benchmark: a modal dialog with one list box of
// 50 items, built and linked the same way as Quillet.exe.
#include <windows.h>
#include <stdio.h>

namespace {

INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
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
  DialogBoxParamA(instance, MAKEINTRESOURCEA(102), nullptr, Procedure, 0);
  return 0;
}
