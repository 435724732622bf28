#include "app/operations.h"

namespace kinds {
const OperationKind kWrite{"書き込み中", true, true, true};
const OperationKind kRead{"読み出し中", false, true, true};
const OperationKind kDragRead{"読み出し中", false, false, false};   // the drag loop keeps its own feedback
const OperationKind kRefresh{nullptr, false, false, false};
const OperationKind kRefreshAndBeep{nullptr, true, false, false};   // the beep writes the device's memory
const OperationKind kSelect{nullptr, false, false, false};
const OperationKind kDelete{nullptr, true, false, false};
const OperationKind kRename{"書き込み中", true, false, true};
const OperationKind kRun{nullptr, true, false, false};
const OperationKind kPause{nullptr, true, false, false};
const OperationKind kMenu{nullptr, false, false, false};
}  // namespace kinds

Admission Admit(const OperationsState& now, Arrival arrival) {
  bool busy = now.running || now.waiting;
  switch (arrival) {
    case Arrival::kCommand: return busy ? Admission::kDrop : Admission::kRun;
    case Arrival::kRequest: return now.sessionEnding ? Admission::kDrop : busy ? Admission::kQueue : Admission::kRun;
    case Arrival::kStop: return now.running && now.stoppable ? Admission::kRun : Admission::kDrop;
    default: return busy ? Admission::kQueue : Admission::kRun;   // a close
  }
}

std::string UnansweredQuestion(size_t waiting, bool writing) {
  std::string lines = writing ? "書き込み中のファイルは不完全なまま残るかもしれません。" : "";
  if (waiting > 0) lines += "\n待機中の" + std::to_string(static_cast<unsigned>(waiting)) + "件は書き込まれません。";
  return "P/ECEが応答しません。" + lines + (lines.empty() ? "" : "\n") + "Quilletを終了しますか？";
}

Operations& TheOperations() {
  static Operations operations;
  return operations;
}

OperationsState Operations::State() const {
  OperationsState state;
  state.running = current_ != nullptr;
  state.waiting = !queue_.empty();
  state.stoppable = current_ && current_->stoppable;
  state.sessionEnding = sessionEnding_;
  return state;
}

bool Operations::Start(const OperationKind& kind, const Work& work) {
  if (Admit(State(), Arrival::kCommand) != Admission::kRun) return false;
  RunOne(kind, work);
  AfterRun();
  return true;
}

bool Operations::Submit(const OperationKind& kind, Work work) {
  switch (Admit(State(), Arrival::kRequest)) {
    case Admission::kRun:
      RunOne(kind, work);
      AfterRun();
      return true;
    case Admission::kQueue:
      queue_.push_back({&kind, std::move(work)});
      return true;
    default:
      return false;
  }
}

void Operations::RunQueued() {
  // A message posted for the queue can come while the next operation runs;
  // that operation's end posts it again.
  if (current_) return;
  while (!queue_.empty()) {
    Request next = std::move(queue_.front());
    queue_.pop_front();
    RunOne(*next.kind, next.work);
  }
  AfterRun();
}

void Operations::Continue(const OperationKind& kind) {
  if (current_) current_ = &kind;
}

bool Operations::RequestStop() {
  if (Admit(State(), Arrival::kStop) != Admission::kRun) return false;
  stop_ = true;
  return true;
}

void Operations::RequestClose() {
  closeRequested_ = true;
  if (Admit(State(), Arrival::kClose) == Admission::kRun) AfterRun();
}

bool Operations::BlocksSessionEnd() const {
  if (current_ && writes_) return true;
  for (const Request& request : queue_)
    if (request.kind->mayWrite) return true;
  return false;
}

void Operations::CallStarts(const LibraryCall& call) {
  if (!current_) return;
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
  bool awake = current_ && called_ && userWaits_ == 0;
  if (awake == awake_) return;
  awake_ = awake;
  if (hooks_) hooks_->KeepAwake(awake);
}

void Operations::RunOne(const OperationKind& kind, const Work& work) {
  current_ = &kind;
  stop_ = false;
  if (hooks_) hooks_->Began();
  work();
  current_ = nullptr;
  writes_ = called_ = stop_ = false;
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
