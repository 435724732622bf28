#include "readout/clipboard_win32.h"

#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <memory>

#include "app/platform_win32.h"
#include "readout/drop_list.h"
#include "readout/read_out.h"
#include "readout/host_names.h"

namespace {

std::shared_ptr<ReadOut> copies;   // what the clipboard names now

// The file-drop list in wide names, and Explorer's preferred effect, copy.
bool PutPaths(HWND owner, const std::vector<std::string>& paths) {
  std::vector<uint8_t> list = BuildDropList(paths, true);
  DWORD effect = DROPEFFECT_COPY;
  HGLOBAL drop = GlobalCopy(list.data(), list.size()), preferred = GlobalCopy(&effect, sizeof effect);
  bool put = drop && preferred && OpenClipboardSoon(owner);
  if (put) {
    EmptyClipboard();   // the copies it named before go now (WM_DESTROYCLIPBOARD)
    put = SetClipboardData(CF_HDROP, drop) != nullptr;
    if (put) drop = nullptr;   // the clipboard owns it
    if (put && SetClipboardData(RegisterClipboardFormatW(L"Preferred DropEffect"), preferred)) preferred = nullptr;
    CloseClipboard();
  }
  if (drop) GlobalFree(drop);
  if (preferred) GlobalFree(preferred);
  return put;
}

}  // namespace

bool ClipboardHasFiles() { return IsClipboardFormatAvailable(CF_HDROP) != FALSE; }

PathList DroppedPaths(HDROP drop) {
  PathList paths;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    WideText path(length + 1, L'\0');
    if (length > 0 && DragQueryFileW(drop, i, &path[0], length + 1) == length) paths.push_back(HostFromWide(path.substr(0, length)));
  }
  return paths;
}

PathList ClipboardFiles(HWND owner) {
  PathList paths;
  if (!ClipboardHasFiles() || !OpenClipboardSoon(owner)) return paths;
  if (HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) paths = DroppedPaths(drop);
  CloseClipboard();
  return paths;
}

void CopyToClipboard(HWND owner, const std::vector<DirEntry>& entries) {
  if (entries.empty()) return;
  std::shared_ptr<ReadOut> fresh(new ReadOut);
  std::vector<std::string> refused;
  bool prepared = fresh->Prepare(entries, &refused);
  if (!GoOnWithout(refused, true) || !prepared) return;
  std::vector<std::string> read = fresh->ReadAll();
  // Nothing read, or nothing put: the fresh copies go with their folder.
  if (!read.empty() && PutPaths(owner, read)) copies = std::move(fresh);
}

std::shared_ptr<void> HoldCopies() { return copies; }

void ClipboardEmptied() { copies.reset(); }

void ReleaseClipboard(HWND owner) {
  if (copies && GetClipboardOwner() == owner && OpenClipboard(owner)) {
    EmptyClipboard();
    CloseClipboard();
  }
  copies.reset();
}
