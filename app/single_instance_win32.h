// One working instance: a second start hands its command line to the first.
#ifndef QUILLET_APP_SINGLE_INSTANCE_WIN32_H
#define QUILLET_APP_SINGLE_INSTANCE_WIN32_H

#include <windows.h>

// A top-level window whose title begins with "Quillet", or none.
HWND FindRunningInstance();
// True when a running instance accepted this start's argument text.
bool HandOverToRunningInstance();
// Fills commandLinePaths from this start's arguments and writes those files.
void TransferCommandLine();

#endif
