#include "device/diagnostics_win32.h"

#include "app/platform_win32.h"
#include "device/diagnostics.h"

namespace {

// RtlGetVersion tells the true version where GetVersionEx answers for the
// compatibility the manifest declares; wine_get_version is there only under
// Wine; GetDpiForWindow from Windows 10 on.
SystemFacts TheSystem(HWND window) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"), user32 = GetModuleHandleW(L"user32.dll");
  SystemFacts facts;
  RTL_OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  using GetVersion = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  if (auto getVersion = SystemFunction<GetVersion>(ntdll, "RtlGetVersion"); getVersion && getVersion(&version) == 0)
    facts.windows = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) + " build " +
                    std::to_string(version.dwBuildNumber);
  facts.ansiCodePage = GetACP();
  using DpiForWindow = UINT(WINAPI*)(HWND);
  auto dpiOf = SystemFunction<DpiForWindow>(user32, "GetDpiForWindow");
  UINT dpi = dpiOf ? dpiOf(window) : 0;
  if (!dpi) {   // before Windows 10: the system's, from GDI, which every window has loaded
    using DeviceCaps = int(WINAPI*)(HDC, int);
    auto caps = SystemFunction<DeviceCaps>(GetModuleHandleW(L"gdi32.dll"), "GetDeviceCaps");
    HDC screen = GetDC(nullptr);
    dpi = caps && screen ? caps(screen, LOGPIXELSX) : 96;
    ReleaseDC(nullptr, screen);
  }
  facts.scalePercent = (dpi * 100 + 48) / 96;
  using WineVersion = const char*(__cdecl*)();
  if (auto wine = SystemFunction<WineVersion>(ntdll, "wine_get_version")) facts.wine = wine();
  return facts;
}

// Puts text (host text) on the clipboard as Unicode text.
void PutText(HWND owner, const std::string& text) {
  WideText wide = WideFromHost(text);
  HGLOBAL block = GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (block && OpenClipboardSoon(owner)) {
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, block)) block = nullptr;   // the clipboard's now
    CloseClipboard();
  }
  if (block) GlobalFree(block);
}

}  // namespace

void CopyDiagnosticReport(HWND window) { PutText(window, DiagnosticReport(BoundLibrary(), TheSystem(window))); }
