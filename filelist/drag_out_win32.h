// Reading files out by dragging: Ctrl and a left-button press on a selected
// item of the file list start an OLE drag that offers the selected files as a
// file-drop list and reads them from the device when they are dropped.
#ifndef QUILLET_FILELIST_DRAG_OUT_WIN32_H
#define QUILLET_FILELIST_DRAG_OUT_WIN32_H

#include <windows.h>

#include "filelist/file_list.h"

// The list box's WM_LBUTTONDOWN: true when the press was a read-out drag
// (the list box must then not see it), false to pass it on. items gives the
// list box's item texts as device text.
bool DragFilesOut(HWND listBox, ListControl& items, WPARAM flags, LPARAM point);

#endif
