#include "app/dialog_place_win32.h"

#include "app/window_place.h"

ScreenRect ScreenRectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

ScreenRect WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) return ScreenRectOf(info.rcWork);
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void CenterOverOwner(HWND dialog) {
  RECT own;
  GetWindowRect(dialog, &own);
  HWND owner = GetWindow(dialog, GW_OWNER);
  bool seen = owner && IsWindowVisible(owner) && !IsIconic(owner);
  // The work area of the owner's monitor, not the primary one's.
  ScreenRect work = WorkAreaOf(MonitorFromWindow(seen ? owner : dialog, MONITOR_DEFAULTTOPRIMARY)), around = work;
  RECT ownerRect;
  if (seen && GetWindowRect(owner, &ownerRect)) around = ScreenRectOf(ownerRect);
  ScreenRect placed = CenterOver(ScreenRectOf(own), around, work);
  SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
