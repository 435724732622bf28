#include "filelist/file_list_box_win32.h"

#include <shellapi.h>

#include "app/message_map_win32.h"
#include "app/operations.h"
#include "app/platform_win32.h"
#include "app/settings_store.h"
#include "device/beep.h"
#include "device/connection.h"
#include "device/launcher.h"
#include "filelist/drag_out_win32.h"
#include "pause/pause_device.h"
#include "pause/pause_window_win32.h"
#include "transfer/transfer.h"

// Messages of the list box that the file list handles itself; everything
// else is the list box's own.
static const MessageEntry<FileListBox> kFileListMessages[] = {
    {WM_DROPFILES, &FileListBox::OnDropFiles},
    {WM_KEYDOWN, &FileListBox::OnKeyDown},
    {WM_LBUTTONDOWN, &FileListBox::OnLButtonDown},
    {kReflectedCommand, &FileListBox::OnReflectedCommand},
};

namespace {

constexpr UINT kMaxPath = 260;

// F5, and the second half of F6.
void RefreshAndBeep(FileListBox& list) {
  if (list.RefreshFileList())
    BeepDevice();
  else
    Show("ファイルリストの取得に失敗しました。", kErrorStyle);
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
  PathList list;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    wchar_t path[kMaxPath];
    if (DragQueryFileW(drop, i, path, kMaxPath) == 0) continue;
    list.push_back(HostFromWide(path));
  }
  DragFinish(drop);
  // Files dropped while an operation runs are written when their turn comes.
  TheOperations().Submit(!list.empty(), [this, list] {
    TransferFiles(list);
    RefreshFileList(&list);
  });
  return 0;
}

LRESULT FileListBox::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  // Each key starts an operation, which is dropped while another runs.
  Operations& operations = TheOperations();
  switch (wParam) {
    case VK_RETURN:
      operations.Start(true, [this] { RunSelectedFile(*this, &RunProgram); });
      return 0;
    case VK_PAUSE:
      operations.Start(false, [this] { PauseDevice([this] { RunPauseWindow(GetParent(hwnd_)); }); });
      return 0;
    case VK_DELETE:
      operations.Start(true, [this] { DeleteSelectedFiles(*this); });
      return 0;
    case VK_F5:
      operations.Start(AppSettings.beep, [this] { RefreshAndBeep(*this); });
      return 0;
    case VK_F6:
      operations.Start(AppSettings.beep, [this] {
        ++deviceIndex;
        if (!ConnectDevice()) {
          Show("P/ECEに接続できません。", kErrorStyle);
          return;
        }
        DisconnectDevice();
        RefreshAndBeep(*this);
      });
      return 0;
    default:
      return Default(WM_KEYDOWN, wParam, lParam);
  }
}

LRESULT FileListBox::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  if (DragFilesOut(hwnd_, *this, wParam, lParam)) return 0;
  return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT FileListBox::OnReflectedCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) == LBN_DBLCLK) TheOperations().Start(true, [this] { RunSelectedFile(*this, &RunProgram); });
  return 0;
}

void FileListBox::ResetContent() {
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  texts_.clear();
}

int FileListBox::Count() { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }

bool FileListBox::Text(int index, std::string* text) {
  if (index < 0 || static_cast<size_t>(index) >= texts_.size()) return false;
  *text = texts_[index];
  return true;
}

// Item texts are device text, shown through code page 932.
int FileListBox::InsertString(int index, const std::string& text) {
  LRESULT r = SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(WideFromDevice(text).c_str()));
  if (r == LB_ERR || r == LB_ERRSPACE || static_cast<size_t>(r) > texts_.size()) return -1;
  texts_.insert(texts_.begin() + r, text);
  return static_cast<int>(r);
}

void FileListBox::Select(int index) { SendMessageW(hwnd_, LB_SETSEL, TRUE, index); }

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

void FileListBox::SetTitle(const std::string& title) {
  SetWindowTextW(GetParent(hwnd_), WideFromDevice(title).c_str());
}

bool FileListBox::ShiftOrCtrlDown() {
  return (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000);
}

void FileListBox::SetRedraw(bool on) {
  SendMessageW(hwnd_, WM_SETREDRAW, on, 0);
  if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}
