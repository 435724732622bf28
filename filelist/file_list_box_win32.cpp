#include "filelist/file_list_box_win32.h"

#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "app/folder_browser_win32.h"
#include "app/message_map_win32.h"
#include "app/messages.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "app/settings_store.h"
#include "device/beep.h"
#include "device/connection.h"
#include "device/launcher.h"
#include "filelist/item_text.h"
#include "filelist/rename.h"
#include "filelist/rename_dialog_win32.h"
#include "pause/pause_device.h"
#include "pause/pause_window_win32.h"
#include "readout/clipboard_win32.h"
#include "readout/drag_out_win32.h"
#include "readout/save_files.h"
#include "transfer/transfer.h"

// Messages of the list box that the file list handles itself; everything
// else is the list box's own.
static const MessageEntry<FileListBox> kFileListMessages[] = {
    {WM_DROPFILES, &FileListBox::OnDropFiles},
    {WM_KEYDOWN, &FileListBox::OnKeyDown},
    {WM_SYSKEYDOWN, &FileListBox::OnSysKeyDown},
    {WM_LBUTTONDOWN, &FileListBox::OnLButtonDown},
    {WM_CONTEXTMENU, &FileListBox::OnContextMenu},
    {kReflectedCommand, &FileListBox::OnReflectedCommand},
};

namespace {

unsigned HeldModifiers() {
  unsigned held = kNoModifiers;
  if (GetKeyState(VK_CONTROL) & 0x8000) held |= kCtrl;
  if (GetKeyState(VK_SHIFT) & 0x8000) held |= kShift;
  return held;
}

}  // namespace

void FileListBox::Attach(HWND control) {
  hwnd_ = control;
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FileListBox::Procedure)));
}

LRESULT CALLBACK FileListBox::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<FileListBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (DispatchMessageTo(self, kFileListMessages, message, wParam, lParam, &result)) return result;
  return CallWindowProcW(self->previous_, hwnd, message, wParam, lParam);
}

LRESULT FileListBox::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
}

LRESULT FileListBox::OnDropFiles(WPARAM wParam, LPARAM) {
  HDROP drop = reinterpret_cast<HDROP>(wParam);
  PathList list = DroppedPaths(drop);
  DragFinish(drop);
  // Files dropped while an operation runs are written when their turn comes.
  TheOperations().Submit(kinds::kWrite, [this, list] { WriteFiles(list); });
  return 0;
}

bool FileListBox::TakeKey(unsigned key, bool alt) {
  const KeyBinding* binding = BindingForKey(key, HeldModifiers() | (alt ? unsigned{kAlt} : 0u));
  if (!binding) return false;
  const Command& command = CommandById(binding->command);
  if (binding->needs == Needs::kNothing || Holds(binding->needs, StateOfList(*this, false)))
    TheOperations().Start(command.kind, [&] { (this->*command.run)(); });
  return true;
}

LRESULT FileListBox::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  return TakeKey(static_cast<unsigned>(wParam), false) ? 0 : Default(WM_KEYDOWN, wParam, lParam);
}

LRESULT FileListBox::OnSysKeyDown(WPARAM wParam, LPARAM lParam) {
  bool alt = (lParam & (1 << 29)) != 0;   // F10 comes this way too, without Alt
  return TakeKey(static_cast<unsigned>(wParam), alt) ? 0 : Default(WM_SYSKEYDOWN, wParam, lParam);
}

int FileListBox::ItemAt(POINT point) {
  LRESULT hit = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  int index = LOWORD(hit);
  RECT item;
  bool onItem = HIWORD(hit) == 0 && index < Count() &&
                SendMessageW(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR && PtInRect(&item, point);
  return onItem ? index : -1;
}

// A Ctrl+press on a selected item reads the selected files out by a drag;
// from then on the list box does not see the press, and the selection
// stays. The whole drag is one operation, the read at the drop included.
// Any other press is the list box's own.
LRESULT FileListBox::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  int item = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (!(wParam & MK_CONTROL) || item < 0 || !Selected(item)) return Default(WM_LBUTTONDOWN, wParam, lParam);
  std::vector<int> selected = SelectedIndexes(kMaxSelectedItems);
  if (std::find(selected.begin(), selected.end(), item) == selected.end()) return Default(WM_LBUTTONDOWN, wParam, lParam);
  std::vector<DirEntry> entries = EntriesOf(*this, selected);
  TheOperations().Start(kinds::kDragRead, [&] { DragFilesOut(hwnd_, entries); });
  return 0;
}

LRESULT FileListBox::OnReflectedCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) == LBN_DBLCLK) TheOperations().Start(kinds::kRun, [this] { RunSelected(); });
  return 0;
}

// The menu and the command chosen from it are one operation, so that the
// list it was opened on is the list the command acts on.
LRESULT FileListBox::OnContextMenu(WPARAM, LPARAM lParam) {
  TheOperations().Start(kinds::kMenu, [&] { ShowMenu(lParam); });
  return 0;
}

void FileListBox::ShowMenu(LPARAM at) {
  POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == static_cast<LPARAM>(-1)) {   // from the keyboard: at the item with the focus
    RECT item;
    LRESULT caret = SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0);
    point = POINT{0, 0};
    if (caret >= 0 && caret < Count() && SendMessageW(hwnd_, LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
      point = POINT{item.left, item.bottom};
    ClientToScreen(hwnd_, &point);
  } else {   // a right click selects the item under it alone, unless it is selected
    POINT inList = point;
    ScreenToClient(hwnd_, &inList);
    int index = ItemAt(inList);
    if (index < 0 || !Selected(index)) SendMessageW(hwnd_, LB_SETSEL, FALSE, -1);
    if (index >= 0 && !Selected(index)) {
      SendMessageW(hwnd_, LB_SETSEL, TRUE, index);
      SendMessageW(hwnd_, LB_SETCARETINDEX, index, FALSE);
    }
  }
  ListState state = StateOfList(*this, ClipboardHasFiles());
  HMENU menu = CreatePopupMenu();
  for (size_t i = 0; i < kCommandCount; ++i) {
    const Command& command = kCommands[i];
    if (command.separatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (Holds(command.needs, state) ? MF_ENABLED : MF_GRAYED), static_cast<UINT>(command.id),
                WideFromDevice(MenuText(command)).c_str());
  }
  SetMenuDefaultItem(menu, static_cast<UINT>(CommandId::kRun), FALSE);
  int chosen;
  {
    UserWait wait;
    chosen = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, 0, GetParent(hwnd_), nullptr);
  }
  DestroyMenu(menu);
  if (chosen == 0) return;
  const Command& command = CommandById(static_cast<CommandId>(chosen));
  TheOperations().Continue(command.kind);
  (this->*command.run)();
}

void FileListBox::RunSelected() { RunSelectedFile(*this, &RunProgram); }

bool FileListBox::ChooseFolder(const char* title, std::string* folder) {
  if (lastFolder_.empty()) {   // the user's Documents at first
    wchar_t documents[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
      lastFolder_ = HostFromWide(documents);
  }
  if (!BrowseForFolder(GetParent(hwnd_), title, lastFolder_, folder) || folder->empty()) return false;
  lastFolder_ = *folder;
  if (folder->back() != '\\' && folder->back() != '/') *folder += '\\';
  return true;
}

void FileListBox::SaveToFolder() {
  std::string folder;
  std::vector<DirEntry> entries = SelectedEntries(*this);
  if (!entries.empty() && ChooseFolder("保存先のフォルダを選んでください。", &folder)) ::SaveToFolder(entries, folder);
}

void FileListBox::Copy() { CopyToClipboard(GetParent(hwnd_), SelectedEntries(*this)); }

// Files on the clipboard are written as if they had been dropped; a cut in
// Explorer is copied all the same, for Quillet never deletes a host file.
void FileListBox::Paste() {
  // Quillet's own copies stay while they are written, though another
  // program may empty the clipboard meanwhile; they go at the end if so.
  std::shared_ptr<void> held = HoldCopies();
  PathList list = ClipboardFiles(GetParent(hwnd_));
  if (!list.empty()) WriteFiles(list);
}

// Dropped or pasted files: written, then the list read again with them
// selected, and checked.
void FileListBox::WriteFiles(const PathList& list) { ListWritten(*this, list, TransferFiles(list)); }

void FileListBox::Delete() { DeleteSelectedFiles(*this); }

// F2 on exactly one selected item.
void FileListBox::Rename() {
  std::vector<int> selected = SelectedIndexes(2);
  std::string newName;
  if (selected.size() != 1) return;
  const std::string oldName = Entry(selected[0])->name;
  if (RenameDialog(oldName).Ask(GetParent(hwnd_), &newName)) RenameFile(*this, oldName, newName);
}

void FileListBox::SelectAll() {
  if (Count() > 0) SendMessageW(hwnd_, LB_SETSEL, TRUE, -1);
}

// F5, and the second half of F6.
void FileListBox::Refresh() {
  if (RefreshFileList())
    BeepDevice();
  else
    Show("ファイルリストの取得に失敗しました。", kErrorStyle);
}

void FileListBox::NextDevice() {
  ++deviceIndex;
  if (!ConnectDevice()) {
    Show(kCannotConnect, kErrorStyle);
    return;
  }
  DisconnectDevice();
  Refresh();
}

void FileListBox::Pause() {
  PauseDevice([this] { RunPauseWindow(GetParent(hwnd_)); });
}

void FileListBox::BackUp() {
  std::string folder;
  if (Count() > 0 && ChooseFolder("バックアップ先のフォルダを選んでください。", &folder)) BackUpDevice(entries_, folder);
}

void FileListBox::ResetContent() {
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  entries_.clear();
}

int FileListBox::Count() { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }

const DirEntry* FileListBox::Entry(int index) {
  return index >= 0 && static_cast<size_t>(index) < entries_.size() ? &entries_[index] : nullptr;
}

// Item texts are device text, shown through code page 932. They are short
// (a size and a name of 31 bytes at most), so they are converted on the
// stack, not on the heap.
int FileListBox::Insert(int index, const DirEntry& entry) {
  const std::string text = ItemText(entry);
  wchar_t wide[128];
  int n = text.size() < 100 ? MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide, 127) : -1;
  if (n >= 0) wide[n] = L'\0';
  LRESULT r = SendMessageW(hwnd_, LB_INSERTSTRING, index,
                           reinterpret_cast<LPARAM>(n >= 0 ? wide : WideFromDevice(text).c_str()));
  if (r == LB_ERR || r == LB_ERRSPACE || static_cast<size_t>(r) > entries_.size()) return -1;
  entries_.insert(entries_.begin() + r, entry);
  return static_cast<int>(r);
}

void FileListBox::Select(int index) { SendMessageW(hwnd_, LB_SETSEL, TRUE, index); }

bool FileListBox::Selected(int index) { return SendMessageW(hwnd_, LB_GETSEL, index, 0) > 0; }

std::vector<int> FileListBox::SelectedIndexes(size_t max) {
  std::vector<int> indexes(max);
  LRESULT n = SendMessageW(hwnd_, LB_GETSELITEMS, max, reinterpret_cast<LPARAM>(indexes.data()));
  indexes.resize(n == LB_ERR || n < 0 ? 0 : static_cast<size_t>(n));
  return indexes;
}

int FileListBox::CaretIndex() {
  LRESULT r = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
  return r == LB_ERR ? -1 : static_cast<int>(r);
}

// A title that stays the same (F5 on a device whose free space has not
// changed) is not set again, which would redraw the caption.
void FileListBox::SetTitle(const std::string& title) {
  WideText wide = WideFromDevice(title);
  wchar_t now[256];
  int n = GetWindowTextW(GetParent(hwnd_), now, 256);
  if (wide.size() != static_cast<size_t>(n) || wide.compare(0, n, now, n) != 0) SetWindowTextW(GetParent(hwnd_), wide.c_str());
}

bool FileListBox::ShiftOrCtrlDown() {
  return (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000);
}

void FileListBox::Reserve(size_t count) {
  SendMessageW(hwnd_, LB_INITSTORAGE, count, count * 64);
  entries_.reserve(count);
}

void FileListBox::SetRedraw(bool on) {
  SendMessageW(hwnd_, WM_SETREDRAW, on, 0);
  if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}
