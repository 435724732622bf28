// Where the program's dialogs open: centred over their owner (the work
// area when the owner is hidden), and whole on the work area of the
// owner's monitor.
#ifndef QUILLET_APP_DIALOG_PLACE_WIN32_H
#define QUILLET_APP_DIALOG_PLACE_WIN32_H

#include <windows.h>

#include "app/window_place.h"

void CenterOverOwner(HWND dialog);
ScreenRect ScreenRectOf(const RECT& r);
// A monitor's work area; the screen's when it cannot be had.
ScreenRect WorkAreaOf(HMONITOR monitor);

#endif
