// Where the program's windows go on the screen, as rules on rectangles in
// screen pixels, so that they hold whatever monitors there are: every
// monitor has a work area of its own (the screen less its taskbars), and a
// window belongs on the one its owner, or its stored place, is on.
#ifndef QUILLET_APP_WINDOW_PLACE_H
#define QUILLET_APP_WINDOW_PLACE_H

#include <vector>

struct ScreenRect {
  long left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// A dialog of the size of dialog centred over around (its owner, or the
// work area when there is none to be seen), then moved to lie whole on
// work, its top left corner kept on it first.
ScreenRect CenterOver(const ScreenRect& dialog, const ScreenRect& around, const ScreenRect& work);
// A rectangle moved to lie whole on work where it fits.
ScreenRect KeepWhole(const ScreenRect& r, const ScreenRect& work);
// Whether a stored window rectangle is used: it overlaps the work area of
// some monitor by a pixel at least, across and down.
bool OverlapsSomeWorkArea(const ScreenRect& r, const std::vector<ScreenRect>& workAreas);
// The window's rectangle after a change of DPI: the one Windows suggests,
// kept whole on its monitor's work area; but while the window is being put
// at its stored place, the stored rectangle (whose size was saved at that
// monitor's scale already, and would grow at every start).
ScreenRect AfterDpiChange(bool restoring, const ScreenRect& now, const ScreenRect& suggested, const ScreenRect& work);

#endif
