#include "app/operations.h"

std::string UnansweredQuestion(size_t waiting) {
  std::string lines;
  if (waiting > 0) lines += "\n待機中の" + std::to_string(static_cast<unsigned>(waiting)) + "件は書き込まれません。";
  return "P/ECEが応答しません。" + lines + (lines.empty() ? "" : "\n") + "Quilletを終了しますか？";
}

Operations& TheOperations() {
  static Operations operations;
  return operations;
}

bool Operations::Start(const Work& work) {
  if (Busy()) return false;
  RunOne(work);
  AfterRun();
  return true;
}

void Operations::Submit(bool writes, Work work) {
  if (Busy()) {
    queue_.push_back({writes, std::move(work)});
    return;
  }
  Start(work);
}

void Operations::RunQueued() {
  // A message posted for the queue can come while the next operation runs;
  // that operation's end posts it again.
  if (running_) return;
  while (!queue_.empty()) {
    Request next = std::move(queue_.front());
    queue_.pop_front();
    RunOne(next.work);
  }
  AfterRun();
}

void Operations::RequestClose() {
  closeRequested_ = true;
  if (!Busy()) AfterRun();
}

bool Operations::BlocksSessionEnd() const {
  if (running_ && writes_) return true;
  for (const Request& request : queue_)
    if (request.writes) return true;
  return false;
}

void Operations::CallStarts(const LibraryCall& call) {
  if (!running_) return;
  called_ = true;
  if (kPieceFunctions[call.function].changesDevice && !writes_) {
    writes_ = true;
    if (hooks_) hooks_->BeganWriting();
  }
  UpdateAwake();
}

void Operations::UserWaits(bool begins) {
  userWaits_ += begins ? 1 : -1;
  UpdateAwake();
}

// Awake from the operation's first call to its end, but while the user is
// asked: a box left open must not keep a laptop awake for hours.
void Operations::UpdateAwake() {
  bool awake = running_ && called_ && userWaits_ == 0;
  if (awake == awake_) return;
  awake_ = awake;
  if (hooks_) hooks_->KeepAwake(awake);
}

void Operations::RunOne(const Work& work) {
  running_ = true;
  if (hooks_) hooks_->Began();
  work();
  running_ = writes_ = called_ = false;
  UpdateAwake();
  if (hooks_) hooks_->Ended();
}

void Operations::AfterRun() {
  if (!queue_.empty()) {
    if (hooks_) hooks_->RunQueuedLater();
  } else if (closeRequested_) {
    closeRequested_ = false;
    if (hooks_) hooks_->Close();
  }
}
