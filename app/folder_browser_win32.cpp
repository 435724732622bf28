#include "app/folder_browser_win32.h"

#include <objbase.h>
#include <shlobj.h>

#include "app/operations.h"
#include "app/platform_win32.h"

namespace {

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, const char* title, const std::string& start, std::string* folder) {
  WideText initial = WideFromHost(start), caption = title ? WideFromDevice(title) : WideText();
  wchar_t displayName[MAX_PATH], path[MAX_PATH];
  BROWSEINFOW info;
  ZeroMemory(&info, sizeof info);
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;   // the desktop
  info.pszDisplayName = displayName;
  info.lpszTitle = title ? caption.c_str() : nullptr;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(initial.c_str());
  LPITEMIDLIST item;
  {
    UserWait wait;
    item = SHBrowseForFolderW(&info);
  }
  if (!item) return false;
  // A failed conversion leaves the buffer undefined.
  bool converted = SHGetPathFromIDListW(item, path) != FALSE;
  CoTaskMemFree(item);
  if (converted) *folder = HostFromWide(path);
  return converted;
}
