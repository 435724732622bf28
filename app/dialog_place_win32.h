// Where the program's dialogs open: centred over their owner (the work
// area when the owner is hidden), and whole on the work area.
#ifndef QUILLET_APP_DIALOG_PLACE_WIN32_H
#define QUILLET_APP_DIALOG_PLACE_WIN32_H

#include <windows.h>

void CenterOverOwner(HWND dialog);

#endif
