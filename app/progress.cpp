#include "app/progress.h"

#include "app/operations.h"
#include "app/platform.h"

namespace {

std::string Number(uint64_t n) { return std::to_string(static_cast<unsigned long long>(n)); }

std::string Place(const ProgressStep& step) {
  return step.count ? " " + Number(step.index) + "/" + Number(step.count) : "";
}

}  // namespace

void ShowStep(ProgressStep step) {
  const OperationKind* kind = TheOperations().Current();
  if (!step.verb) step.verb = kind && kind->verb ? kind->verb : "";
  ThePlatform().ShowProgress(step);
}

std::string StepTitle(const ProgressStep& step) { return step.verb + Place(step) + " " + step.name; }

std::string StepLine(const ProgressStep& step) { return step.verb + Place(step) + ": " + step.name; }

std::string BytesLine(uint64_t done, uint64_t total) {
  // Kilobytes begun count: a file of a few bytes is not "0 KB".
  return Number((done + 1023) / 1024) + " KB / " + Number((total + 1023) / 1024) + " KB";
}

std::string TimeLeftLine(uint64_t done, uint64_t total, uint32_t elapsedMs) {
  if (elapsedMs < 2000 || done == 0 || done > total) return "";
  uint64_t seconds = (total - done) * elapsedMs / done / 1000;
  std::string secondsText = Number(seconds % 60);
  return "残り約 " + Number(seconds / 60) + ":" + (secondsText.size() < 2 ? "0" : "") + secondsText;
}

std::string WaitingLine(size_t waiting) { return waiting ? "待機中: " + Number(waiting) + "件" : ""; }

std::string LeftOutNotice(const char* did, size_t tried, const std::vector<std::string>& leftOut) {
  if (tried < 2 || leftOut.empty()) return "";
  std::string text = Number(tried) + "件中" + Number(tried - leftOut.size()) + "件を" + did + "。";
  for (const std::string& name : leftOut) text += "\n" + name;
  return text;
}

ProgressScope::ProgressScope() { ThePlatform().BeginProgress(); }
ProgressScope::~ProgressScope() { ThePlatform().EndProgress(); }
