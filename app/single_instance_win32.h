// One working instance a session: a second start hands its command line to
// the first, and waits while the first is still starting.
#ifndef QUILLET_APP_SINGLE_INSTANCE_WIN32_H
#define QUILLET_APP_SINGLE_INSTANCE_WIN32_H

#include <windows.h>

#include <vector>

#include "transfer/transfer.h"

// The working instance's main window (it carries kMainWindowMark), or none.
HWND FindRunningInstance();
// True when the working instance accepted this start's argument text; false
// when this start is the working instance.
bool HandOverToRunningInstance();
// Fills commandLinePaths from this start's arguments and writes those files;
// what was written, for the first listing to check.
void TransferCommandLine();
extern std::vector<WrittenFile> commandLineWritten;

#endif
