// The system menu's "診断情報をコピー": the report (device/diagnostics.h) on the
// clipboard, with what only Windows can tell of the system.
#ifndef QUILLET_DEVICE_DIAGNOSTICS_WIN32_H
#define QUILLET_DEVICE_DIAGNOSTICS_WIN32_H

#include <windows.h>

void CopyDiagnosticReport(HWND window);

#endif
