// The trace: with the setting on, every library call is written to
// Quillet.log in the log folder as it starts and again as it ends, each line
// on disk at once, so that a hung call or a crash leaves its last call
// there. Past 1 MB the log starts afresh, the old one kept as Quillet.old.log.
// A log that cannot be written never stops the device: it is said once a run,
// after the operation.
#ifndef QUILLET_DEVICE_TRACE_LOG_H
#define QUILLET_DEVICE_TRACE_LOG_H

#include <stdint.h>

#include <string>

#include "device/library_call.h"

constexpr uint64_t kTraceLimit = 1024 * 1024;

class TraceLog : public CallObserver {
 public:
  // Starts or stops tracing; nothing is made while it is off.
  void Enable(bool on);
  bool Enabled() const { return on_; }
  void CallStarts(const LibraryCall& call) override { Append(CallStartLine(call)); }
  void CallEnds(const LibraryCall& call, int32_t status, uint32_t milliseconds) override {
    Append(CallEndLine(call, status, milliseconds));
  }
  // Says that the log could not be written, the first time only.
  void ReportFailure();

 private:
  void Append(const std::string& line);

  bool on_ = false, failed_ = false, reported_ = false;
  std::string path_;
  uint64_t size_ = 0;   // of the log, as far as this run knows it
};

TraceLog& TheTraceLog();

#endif
