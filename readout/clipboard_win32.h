// Files through the clipboard. Copying reads the selected device files into
// a private folder and puts those copies on the clipboard as a file-drop
// list (copy, not move); the copies stay until the clipboard holds something
// else or Quillet ends, when they are removed, and the clipboard is emptied
// then if it still names them, so that no paste finds them missing. Pasting
// takes the clipboard's file-drop list, whoever put it there. Another
// program may hold the clipboard for a moment (clipboard managers do, right
// after every change): it is tried again for two seconds before Quillet
// says it cannot have it.
#ifndef QUILLET_READOUT_CLIPBOARD_WIN32_H
#define QUILLET_READOUT_CLIPBOARD_WIN32_H

#include <windows.h>

#include <memory>

#include "app/path_list.h"
#include "device/directory.h"

// A file-drop list's paths, each whole whatever its length (a cut one would
// name another file).
PathList DroppedPaths(HDROP drop);
bool ClipboardHasFiles();
// The paths of the clipboard's file-drop list; empty when it holds none, or
// when the clipboard could not be opened (which is said).
PathList ClipboardFiles(HWND owner);
// Reads these files (the selected ones) and puts them on the clipboard, with
// owner (the main window) as the clipboard's owner.
void CopyToClipboard(HWND owner, const std::vector<DirEntry>& entries);
// Keeps the copies the clipboard names now for as long as the result is
// held, even when the clipboard lets them go: a paste of them writes them.
std::shared_ptr<void> HoldCopies();
// The owner's WM_DESTROYCLIPBOARD: the copies go.
void ClipboardEmptied();
// At the end: the clipboard emptied if it still holds the copies, and they go.
void ReleaseClipboard(HWND owner);

#endif
