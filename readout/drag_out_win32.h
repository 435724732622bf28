// Reading files out by dragging: the files offered to the drop target as a
// file-drop list, read from the device when they are dropped. The list box
// starts it on a Ctrl+press on a selected item.
#ifndef QUILLET_READOUT_DRAG_OUT_WIN32_H
#define QUILLET_READOUT_DRAG_OUT_WIN32_H

#include <windows.h>

#include <vector>

#include "device/directory.h"

// Runs the drag of these files from source (the list box, whose drops are
// switched off meanwhile), once the mouse has moved or the drag delay has
// passed.
void DragFilesOut(HWND source, const std::vector<DirEntry>& entries);

#endif
