// pieceif.dll, loaded and bound at run time on a thread of its own. The
// program calls the 13 functions of device/pieceif.h; once the library is
// bound they go (device/library_call.cpp) to that thread and through it,
// whatever calling convention and export names it has, while the window
// thread waits with the window answering (app/wait_win32.cpp).
#ifndef QUILLET_DEVICE_PIECEIF_LIBRARY_WIN32_H
#define QUILLET_DEVICE_PIECEIF_LIBRARY_WIN32_H

#include <string>

#include "device/pieceif_functions.h"

// Loads pieceif.dll from the folders Windows searches for a DLL the program
// imports, the current folder excepted, and binds its 13 functions. When it
// cannot be used, false and the text of the box to show (device text); the
// library is then not held.
bool LoadDeviceLibrary(std::string* problem);
// The library's path, version and export names are told BoundLibrary().
void UnloadDeviceLibrary();

#endif
