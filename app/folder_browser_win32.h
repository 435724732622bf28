// The folder browser, as the settings dialog and the list's saving commands
// show it: file-system folders only, from the desktop, with the start folder
// preselected when it exists.
#ifndef QUILLET_APP_FOLDER_BROWSER_WIN32_H
#define QUILLET_APP_FOLDER_BROWSER_WIN32_H

#include <windows.h>

#include <string>

// title: device text, or null for none; start and folder: host text. True
// when a folder was chosen.
bool BrowseForFolder(HWND owner, const char* title, const std::string& start, std::string* folder);

#endif
