// The report for the owner of a real device to send: what program, which
// library and how it was bound, what the device said it was, on what system,
// with which settings, and the last library calls with their arguments,
// statuses and durations. It makes no library call of its own.
#ifndef QUILLET_DEVICE_DIAGNOSTICS_H
#define QUILLET_DEVICE_DIAGNOSTICS_H

#include <string>

#include "device/pieceif_functions.h"

// The system as the report tells of it.
struct SystemFacts {
  std::string windows;          // "10.0 build 19045"
  unsigned ansiCodePage = 0;
  unsigned scalePercent = 100;  // of the main window's monitor
  std::string wine;             // Wine's version; "" when not under Wine
};

// The report, host text, its lines ended by CRLF.
std::string DiagnosticReport(const LibraryFacts& library, const SystemFacts& system);

#endif
