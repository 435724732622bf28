#include "app/main_window_win32.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "device/diagnostics_win32.h"
#include "app/dialog_place_win32.h"
#include "app/message_map_win32.h"
#include "app/operation_hooks_win32.h"
#include "app/operations.h"
#include "app/path_list.h"
#include "app/platform_win32.h"
#include "app/settings_store.h"
#include "app/single_instance_win32.h"
#include "device/trace_log.h"
#include "app/version.h"
#include "readout/clipboard_win32.h"
#include "resources/resource.h"
#include "settings/settings_dialog_win32.h"
#include "transfer/transfer.h"

// What the main window handles besides its dialog steps; the dialog manager
// does the rest.
static const MessageEntry<MainWindow> kMainWindowMessages[] = {
    {WM_PAINT, &MainWindow::OnPaint},
    {WM_QUERYDRAGICON, &MainWindow::OnQueryDragIcon},
    {WM_SIZE, &MainWindow::OnSize},
    {WM_SETFOCUS, &MainWindow::OnSetFocus},
    {WM_DESTROY, &MainWindow::OnDestroy},
    {WM_SYSCOMMAND, &MainWindow::OnSysCommand},
    {WM_COPYDATA, &MainWindow::OnCopyData},
    {WM_QUERYENDSESSION, &MainWindow::OnQueryEndSession},
    {WM_ENDSESSION, &MainWindow::OnEndSession},
    {WM_SETCURSOR, &MainWindow::OnSetCursor},
    {WM_DESTROYCLIPBOARD, &MainWindow::OnDestroyClipboard},
    {WM_DPICHANGED, &MainWindow::OnDpiChanged},
    {kTrayMessage, &MainWindow::OnTrayNotify},
    {kRunQueued, &MainWindow::OnRunQueued},
};

namespace {

const char kSection[] = "position";
constexpr UINT kTrayRestore = 1;
constexpr UINT kTrayClose = 2;
// The longest command line there is, 32,767 UTF-16 units; its ANSI form
// takes at most two bytes a unit. A longer record is no hand-over.
constexpr DWORD kMaxHandOverBytes = 32767 * 2;
const char kAboutText[] =
    "Quillet " QUILLET_VERSION_TEXT "\n"
    QUILLET_PUBLISHER_LINE "\n"
    "\n"
    "書込：Explorerからドラッグ&ドロップ\n"
    "読込：選択済みアイテムの上でCtrlを押しながらExplorerへドラッグ&ドロップ\n"
    "削除：ファイルを選んでDELキー\n"
    "実行：pexファイルアイテムをダブルクリック\n"
    "更新：F5キーで最新情報に更新\n"
    "切替：F6キーで複数台接続されたP/ECEを選択\n"
    "ポーズ: Pause/Breakキーを押す";

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(WorkAreaOf(monitor));
  return TRUE;
}

// The work areas of every monitor.
std::vector<ScreenRect> WorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// The functions that know the DPI of each monitor are Windows 10's; before
// it every window has the system's, which the plain metrics follow.
UINT DpiOf(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const auto dpiOf = SystemFunction<Function>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  return dpiOf ? dpiOf(window) : 0;
}

int MetricFor(int metric, UINT dpi) {
  using Function = int(WINAPI*)(int, UINT);
  static const auto forDpi = SystemFunction<Function>(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi");
  return dpi && forDpi ? forDpi(metric, dpi) : GetSystemMetrics(metric);
}

// The application icon at size pixels: its image of that size, or a larger
// one scaled down, never a smaller one blown up. The icon holds the sizes of
// 100, 125, 150 and 200 per cent; only others need the common controls'
// scaling, whose library is then loaded.
HICON AppIcon(int size) {
  static const int kDrawn[] = {16, 20, 24, 32, 40, 48, 64, 256};
  HICON icon = nullptr;
  if (std::find(std::begin(kDrawn), std::end(kDrawn), size) == std::end(kDrawn)) {
    using Function = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scaleDown = SystemFunction<Function>(LoadLibraryW(L"comctl32.dll"), "LoadIconWithScaleDown");
    if (scaleDown && SUCCEEDED(scaleDown(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), size, size, &icon)))
      return icon;
  }
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
}

}  // namespace

MainWindow::MainWindow(HWND owner) : ModalDialog(IDD_MAIN, false), owner_(owner) {
  memset(&trayIcon_, 0, sizeof trayIcon_);
  // Shell restarts broadcast this; a hidden window would otherwise lose its
  // only way back.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
}

bool MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    if (inTray_) Shell_NotifyIconA(NIM_ADD, &trayIcon_);
    return false;
  }
  return DispatchDialogMessage(this, kMainWindowMessages, message, wParam, lParam, result);
}

bool MainWindow::OnInit() {
  TheWin32Platform().SetMainWindow(Handle());
  SetPropW(Handle(), kMainWindowMark, Handle());
  fileList.Attach(GetDlgItem(Handle(), IDC_FILELIST));

  HMENU menu = GetSystemMenu(Handle(), FALSE);
  if (menu) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_SETTINGS, WideFromDevice("設定(&O)...").c_str());
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, WideFromDevice("バージョン情報(&A)...").c_str());
    AppendMenuW(menu, MF_STRING, IDM_REPORT, WideFromDevice("診断情報をコピー(&D)").c_str());
  }

  memset(&trayIcon_, 0, sizeof trayIcon_);
  trayIcon_.cbSize = NOTIFYICONDATAA_V1_SIZE;   // the 88-byte form
  trayIcon_.hWnd = Handle();
  trayIcon_.uID = 1;
  trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  trayIcon_.uCallbackMessage = kTrayMessage;
  strcpy(trayIcon_.szTip, "Quillet");
  LoadIcons();

  RestorePosition();
  RECT client;
  GetClientRect(Handle(), &client);
  MoveWindow(fileList.Handle(), client.left, client.top, client.right - client.left,
             client.bottom - client.top, TRUE);

  // The first listing checks what the start-up wrote.
  TheOperations().Submit(kinds::kRefresh, [this] {
    if (!ListWritten(fileList, commandLinePaths, commandLineWritten)) Show("ファイルリストの取得に失敗しました。", kErrorStyle);
  });
  return true;
}

void MainWindow::RestorePosition() {
  RECT r;
  GetWindowRect(Handle(), &r);
  Platform& p = ThePlatform();
  int left = p.ProfileInt(kSection, "left", r.left);
  int top = p.ProfileInt(kSection, "top", r.top);
  int right = p.ProfileInt(kSection, "right", r.right);
  int bottom = p.ProfileInt(kSection, "bottom", r.bottom);
  if (left > right) { int t = left; left = right; right = t; }
  if (top > bottom) { int t = top; top = bottom; bottom = t; }
  // Where the window already is (no position stored), it is not moved.
  bool same = left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  if (same || !OverlapsSomeWorkArea({left, top, right, bottom}, WorkAreas())) return;
  // On a monitor of another scale Windows suggests a size for it, which
  // the stored one already is.
  restoring_ = true;
  MoveWindow(Handle(), left, top, right - left, bottom - top, TRUE);
  restoring_ = false;
}

// Notifications of the list go back to it.
bool MainWindow::OnCommand(int id, int code) {
  if (id != IDC_FILELIST) return false;
  SendMessageW(fileList.Handle(), kReflectedCommand, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(fileList.Handle()));
  return true;
}

bool MainWindow::OnOk() {
  fileList.TakeKey(VK_RETURN, false);
  return false;
}

// A close waits for the operation under way and the requests behind it,
// unless the device has stopped answering: a call that runs late for its
// size may never come back, and a close then asks whether to end without it
// (the waiting loop comes back here when a call runs late for a close that
// waits).
void MainWindow::RequestClose() {
  const LibraryCall* call = CallUnderWay();
  if (!call || TheWin32Platform().CallElapsed() <= CallLimitMs(*call)) {
    TheOperations().RequestClose();
    return;
  }
  if (askingToEnd_) return;
  askingToEnd_ = true;
  bool end = Show(UnansweredQuestion(TheOperations().Waiting(), call->function == kIsmPFFSWrite), kConfirmStyle) == IDYES;
  askingToEnd_ = false;
  if (end) EndNow();
}

// Saves what a close saves and ends the process without waiting for the
// call in flight, and without unloading a library that is still in it; the
// private files the call does not use go first.
void MainWindow::EndNow() {
  SaveAsAClose();
  TheWin32Platform().FlushSettings();
  const LibraryCall* call = CallUnderWay();
  RemovePrivateFiles(call ? call->hostFile : std::string());
  TerminateProcess(GetCurrentProcess(), 1);
}

// What a close saves, in its order, and the clipboard's copies let go, for
// an end that does not close the window.
void MainWindow::SaveAsAClose() {
  SavePosition();
  SaveLruList();
  SaveSettings();
  ReleaseClipboard(Handle());
}

LRESULT MainWindow::OnPaint(WPARAM, LPARAM) {
  if (!IsIconic(Handle())) return FALSE;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(Handle(), &client);
  // At the window's own DPI, as the icon was loaded.
  UINT dpi = DpiOf(Handle());
  int width = MetricFor(SM_CXICON, dpi), height = MetricFor(SM_CYICON, dpi);
  int x = (client.right - client.left - width + 1) / 2;
  int y = (client.bottom - client.top - height + 1) / 2;
  DrawIconEx(dc, x, y, bigIcon_, width, height, 0, nullptr, DI_NORMAL);
  EndPaint(Handle(), &ps);
  return TRUE;
}

LRESULT MainWindow::OnQueryDragIcon(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(bigIcon_);
}

void MainWindow::LoadIcons() {
  UINT dpi = DpiOf(Handle());
  HICON big = AppIcon(MetricFor(SM_CXICON, dpi)), small = AppIcon(MetricFor(SM_CXSMICON, dpi));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  trayIcon_.hIcon = small;
  if (inTray_) Shell_NotifyIconA(NIM_MODIFY, &trayIcon_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  bigIcon_ = big, smallIcon_ = small;
}

// On a monitor of another DPI the window takes the rectangle Windows
// suggests, kept whole on that monitor's work area, and its icons are drawn
// anew. The dialog manager scales the list's font itself.
LRESULT MainWindow::OnDpiChanged(WPARAM, LPARAM lParam) {
  RECT suggested = *reinterpret_cast<const RECT*>(lParam), now;
  GetWindowRect(Handle(), &now);
  ScreenRect r = AfterDpiChange(restoring_, ScreenRectOf(now), ScreenRectOf(suggested),
                                WorkAreaOf(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST)));
  SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LoadIcons();
  return FALSE;
}

LRESULT MainWindow::OnSize(WPARAM, LPARAM lParam) {
  if (fileList.Handle())
    MoveWindow(fileList.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return FALSE;
}

LRESULT MainWindow::OnSetFocus(WPARAM, LPARAM) {
  if (fileList.Handle()) SetFocus(fileList.Handle());
  return TRUE;
}

// The clipboard held the copies of a Ctrl+C: they go.
LRESULT MainWindow::OnDestroyClipboard(WPARAM, LPARAM) {
  ClipboardEmptied();
  return TRUE;
}

LRESULT MainWindow::OnDestroy(WPARAM, LPARAM) {
  ReleaseClipboard(Handle());
  SavePosition();
  Shell_NotifyIconA(NIM_DELETE, &trayIcon_);
  inTray_ = false;
  return FALSE;
}

void MainWindow::SavePosition() {
  WINDOWPLACEMENT placement;
  memset(&placement, 0, sizeof placement);
  placement.length = sizeof placement;
  if (GetWindowPlacement(Handle(), &placement)) {
    const RECT& r = placement.rcNormalPosition;
    Platform& p = ThePlatform();
    p.WriteProfileString(kSection, "left", std::to_string(r.left));
    p.WriteProfileString(kSection, "top", std::to_string(r.top));
    p.WriteProfileString(kSection, "right", std::to_string(r.right));
    p.WriteProfileString(kSection, "bottom", std::to_string(r.bottom));
  }
}

// A write to the device is not cut off by the end of the session, nor one
// that waits its turn. Once the end is agreed to, no new request is taken
// that the end would drop.
LRESULT MainWindow::OnQueryEndSession(WPARAM, LPARAM) {
  if (TheOperations().BlocksSessionEnd()) return FALSE;
  TheOperations().SessionEnding(true);
  return TRUE;
}

LRESULT MainWindow::OnSetCursor(WPARAM, LPARAM) {
  // The wait cursor over the window while the device works, as when the
  // window thread itself waited for it.
  if (!TheWin32Platform().Waiting()) return FALSE;
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  return TRUE;
}

// A session that ends does not close the window: the system ends the
// process after this answer. What a close saves is saved now, in its order.
LRESULT MainWindow::OnEndSession(WPARAM ending, LPARAM) {
  TheOperations().SessionEnding(ending != 0);
  if (ending) SaveAsAClose();
  return TRUE;
}

LRESULT MainWindow::OnSysCommand(WPARAM wParam, LPARAM) {
  // The report makes no library call: it may be asked for while a call
  // hangs, which is when it tells most.
  if (wParam == IDM_REPORT) {
    CopyDiagnosticReport(Handle());
    return TRUE;
  }
  // While an operation runs or waits the window may be moved, sized and
  // closed, nothing else.
  if (TheOperations().Busy()) {
    WPARAM command = wParam & 0xFFF0;
    return command != SC_MOVE && command != SC_SIZE && command != SC_CLOSE;
  }
  switch (wParam) {   // compared whole, its low four bits included
    case IDM_SETTINGS:
      OpenSettings();
      return TRUE;
    case IDM_ABOUT:
      ShowAbout();
      return TRUE;
    case SC_MINIMIZE:
      ShowWindow(Handle(), SW_HIDE);
      Shell_NotifyIconA(NIM_ADD, &trayIcon_);
      inTray_ = true;
      return TRUE;
    default:
      return FALSE;
  }
}

void MainWindow::ShowAbout() { Show(kAboutText, MB_OK); }

void MainWindow::OpenSettings() {
  SettingsDialog dialog;
  dialog.mode = AppSettings.mode ? 1 : 0;
  dialog.folder = AppSettings.folder;
  dialog.warnoverwr = AppSettings.warnoverwr ? 1 : 0;
  dialog.openfolder = AppSettings.openfolder ? 1 : 0;
  dialog.beep = AppSettings.beep ? 1 : 0;
  dialog.verify = AppSettings.verify ? 1 : 0;
  dialog.trace = AppSettings.trace ? 1 : 0;
  if (dialog.DoModal(Handle()) != IDOK) return;
  AppSettings.mode = dialog.mode != 0;
  AppSettings.folder = dialog.folder;
  AppSettings.warnoverwr = dialog.warnoverwr != 0;
  AppSettings.openfolder = dialog.openfolder != 0;
  AppSettings.beep = dialog.beep != 0;
  AppSettings.verify = dialog.verify != 0;
  AppSettings.trace = dialog.trace != 0;
  TheTraceLog().Enable(AppSettings.trace);
}

LRESULT MainWindow::OnCopyData(WPARAM, LPARAM lParam) {
  const COPYDATASTRUCT* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!record || (record->dwData != kHandOverTag && record->dwData != kHandOverWideTag) ||
      record->cbData > kMaxHandOverBytes)
    return 0;
  // The text is the sender's argument text without its terminator, ANSI or
  // UTF-16 by the tag; a zero inside it ends it, like the command line it
  // came from.
  WideText text;
  const char* data = record->lpData ? static_cast<const char*>(record->lpData) : "";
  if (record->dwData == kHandOverWideTag) {
    text.assign(reinterpret_cast<const wchar_t*>(data), record->cbData / sizeof(wchar_t));
  } else {
    text = WideFromAnsi(std::string(data, strnlen(data, record->cbData)));
  }
  text = text.substr(0, text.find(L'\0'));
  PathList list;
  SplitPathList(HostFromWide(text).c_str(), list);
  // While an operation runs the second start need not wait: its files are
  // written when its turn comes, as if it had come then. Once the end of
  // the session is agreed to, none is taken that it would drop.
  return TheOperations().Submit(list.empty() ? kinds::kRefresh : kinds::kWrite, [this, list] { HandOver(list); });
}

void MainWindow::HandOver(const PathList& list) {
  RestoreFromTray();
  UpdateWindow(Handle());
  ListWritten(fileList, list, TransferFiles(list));
}

LRESULT MainWindow::OnRunQueued(WPARAM, LPARAM) {
  TheOperations().RunQueued();
  return TRUE;
}

// The tray's restore brings the window back and reads the list again,
// unless an operation runs; its close is a close like any other.
void MainWindow::RestoreAndRefresh() {
  RestoreFromTray();
  TheOperations().Start(kinds::kRefresh, [this] { fileList.RefreshFileList(); });
}

LRESULT MainWindow::OnTrayNotify(WPARAM, LPARAM lParam) {
  switch (lParam) {
    case WM_LBUTTONDBLCLK:
      RestoreAndRefresh();
      break;
    case WM_RBUTTONUP: {
      HMENU menu = CreatePopupMenu();
      AppendMenuW(menu, MF_STRING, kTrayRestore, WideFromDevice("元のサイズに戻す").c_str());
      AppendMenuW(menu, MF_STRING, kTrayClose, WideFromDevice("閉じる").c_str());
      POINT at;
      GetCursorPos(&at);
      UINT chosen = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD,
                                   at.x, at.y, 0, Handle(), nullptr);
      if (chosen == kTrayRestore) {
        RestoreAndRefresh();
      } else if (chosen == kTrayClose) {
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
      }
      DestroyMenu(menu);
      break;
    }
  }
  return TRUE;
}

void MainWindow::RestoreFromTray() {
  Shell_NotifyIconA(NIM_DELETE, &trayIcon_);
  inTray_ = false;
  ShowWindow(Handle(), SW_SHOW);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  SetForegroundWindow(Handle());
}
