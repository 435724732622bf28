#include "app/operations.h"

Operations& TheOperations() {
  static Operations operations;
  return operations;
}

bool Operations::Start(bool writes, const Work& work) {
  if (Busy()) return false;
  RunOne(writes, work);
  AfterRun();
  return true;
}

void Operations::Submit(bool writes, Work work) {
  if (Busy()) {
    queue_.push_back({writes, std::move(work)});
    return;
  }
  Start(writes, work);
}

void Operations::RunQueued() {
  // A message posted for the queue can come while the next operation runs;
  // that operation's end posts it again.
  if (running_) return;
  while (!queue_.empty()) {
    Request next = std::move(queue_.front());
    queue_.pop_front();
    RunOne(next.writes, next.work);
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

void Operations::DeclareWrites() {
  if (!running_ || writes_) return;
  writes_ = true;
  if (hooks_) hooks_->BeganWriting();
}

void Operations::RunOne(bool writes, const Work& work) {
  running_ = true;
  if (hooks_) hooks_->Began();
  if (writes) DeclareWrites();
  work();
  if (hooks_) hooks_->Ended();
  running_ = writes_ = false;
}

void Operations::AfterRun() {
  if (!queue_.empty()) {
    if (hooks_) hooks_->RunQueuedLater();
  } else if (closeRequested_) {
    closeRequested_ = false;
    if (hooks_) hooks_->Close();
  }
}
