#include "device/trace_log.h"

#include "app/path_util.h"
#include "app/platform.h"

namespace {
const char kCannotWriteLog[] = "ログファイルに書き込めません。";
}  // namespace

TraceLog& TheTraceLog() {
  static TraceLog log;
  return log;
}

void TraceLog::Enable(bool on) {
  if (on == on_) return;
  on_ = on;
  path_.clear();
  if (on) AddCallObserver(this);
  else RemoveCallObserver(this);
}

void TraceLog::Append(const std::string& line) {
  Platform& platform = ThePlatform();
  if (path_.empty()) {
    std::string folder;
    if (!platform.LogFolder(&folder)) {
      failed_ = true;
      return;
    }
    path_ = folder + "Quillet.log";
    size_ = platform.FileSize(path_);
  }
  if (size_ >= kTraceLimit) {
    // Another instance may have turned it over already; then this one's
    // lines go on in the fresh log.
    platform.MoveFile(path_, HostFolder(path_) + "Quillet.old.log");
    size_ = platform.FileSize(path_);
  }
  // Host text with the device names in it already as text: UTF-8.
  std::string bytes = line + "\r\n";
  if (platform.AppendToFile(path_, bytes)) size_ += bytes.size();
  else failed_ = true;
}

void TraceLog::ReportFailure() {
  if (!failed_ || reported_) return;
  reported_ = true;
  Show(kCannotWriteLog, kErrorStyle);
}
