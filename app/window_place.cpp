#include "app/window_place.h"

#include <algorithm>

ScreenRect CenterOver(const ScreenRect& dialog, const ScreenRect& around, const ScreenRect& work) {
  long width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
  long x = (around.left + around.right - width) / 2, y = (around.top + around.bottom - height) / 2;
  return KeepWhole({x, y, x + width, y + height}, work);
}

ScreenRect KeepWhole(const ScreenRect& r, const ScreenRect& work) {
  long width = r.right - r.left, height = r.bottom - r.top;
  long x = std::max(std::min(r.left, work.right - width), work.left);
  long y = std::max(std::min(r.top, work.bottom - height), work.top);
  return {x, y, x + width, y + height};
}

bool OverlapsSomeWorkArea(const ScreenRect& r, const std::vector<ScreenRect>& workAreas) {
  for (const ScreenRect& work : workAreas)
    if (work.left < r.right && r.left < work.right && work.top < r.bottom && r.top < work.bottom) return true;
  return false;
}

ScreenRect AfterDpiChange(bool restoring, const ScreenRect& now, const ScreenRect& suggested, const ScreenRect& work) {
  return restoring ? now : KeepWhole(suggested, work);
}
