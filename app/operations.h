// What runs now and what waits. A device operation (a drop, a key's
// command, a menu command, the tray's refresh, a hand-over from a second
// start, the start-up write) runs from its first step to its last, its
// boxes and waits included, and no other starts inside it. Every way in
// goes through here, and one rule (Admit) says what becomes of it:
//
// - the user's keys, clicks and menu commands Start: they run when nothing
//   runs or waits, and are dropped otherwise, as under a modal box;
// - requests from outside (a hand-over, dropped files) are Submitted: they
//   run at once when nothing runs, else wait their turn and run afterwards
//   in the order they came; nothing accepted is dropped, and once the end
//   of the session is agreed to none is accepted;
// - a stop (Escape, 中止) is taken by an operation that can be stopped: it
//   ends after the file in flight;
// - a close asked for meanwhile is done when the operation and the waiting
//   requests have ended.
//
// The library calls an operation makes are seen here too: from its first
// call that changes the device until its end the session must not end, and
// from its first call on the PC is kept awake, but for the time a box, a
// menu or a dialog waits for the user.
#ifndef QUILLET_APP_OPERATIONS_H
#define QUILLET_APP_OPERATIONS_H

#include <stddef.h>

#include <deque>
#include <functional>
#include <string>

#include "device/library_call.h"

// What an operation is.
struct OperationKind {
  const char* verb;     // what its progress says of each file ("書き込み中"), or null
  bool mayWrite;        // it may change the device: waiting, it keeps the session from ending
  bool stoppable;       // Escape and 中止 end it after the file in flight
  bool progressWindow;  // a long one shows the progress window
};

namespace kinds {
extern const OperationKind kWrite;     // files written: a drop, a paste, a hand-over, the start-up write
extern const OperationKind kRead;      // files read to the PC: save, copy, backup
extern const OperationKind kDragRead;  // the Ctrl+drag's read, inside the drag loop
extern const OperationKind kRefresh;   // the list read again
extern const OperationKind kRefreshAndBeep;   // F5, F6: the list read again, then the beep
extern const OperationKind kSelect;    // the list alone, no device
extern const OperationKind kDelete;
extern const OperationKind kRename;
extern const OperationKind kRun;
extern const OperationKind kPause;
extern const OperationKind kMenu;      // the list's menu; it goes on as the command chosen
}  // namespace kinds

// What comes, and what becomes of it.
enum class Arrival { kCommand, kRequest, kStop, kClose };
enum class Admission { kRun, kQueue, kDrop };
struct OperationsState {
  bool running = false, waiting = false, stoppable = false, sessionEnding = false;
};
Admission Admit(const OperationsState& now, Arrival arrival);

// What the window side does around operations.
class OperationHooks {
 public:
  virtual ~OperationHooks() = default;
  // An operation begins or ends. From BeganWriting on it changes the
  // device's flash, memory or application, so the session must not end.
  virtual void Began() {}
  virtual void BeganWriting() {}
  virtual void Ended() {}
  // The PC is to be kept awake, or may sleep again.
  virtual void KeepAwake(bool awake) {}
  // Requests wait: RunQueued must be called soon, from the message loop
  // rather than from inside the handler that ran the last operation (whose
  // sender may still be waiting for its answer).
  virtual void RunQueuedLater() {}
  // The close asked for has come due.
  virtual void Close() {}
};

class Operations : public CallObserver {
 public:
  using Work = std::function<void()>;

  void SetHooks(OperationHooks* hooks) { hooks_ = hooks; }

  // A user's command: true when it ran, false when it was dropped.
  bool Start(const OperationKind& kind, const Work& work);
  // A request from outside: true when it ran or waits its turn, false when
  // the session is ending.
  bool Submit(const OperationKind& kind, Work work);
  // Runs the waiting requests, each as an operation of its own.
  void RunQueued();
  // The operation under way goes on as another kind (the menu's command).
  void Continue(const OperationKind& kind);
  // Asks the operation under way to stop after its file in flight; true
  // when it can be stopped. Its steps ask StopRequested.
  bool RequestStop();
  bool StopRequested() const { return stop_; }
  // A close: now when nothing runs or waits, else once all have ended.
  void RequestClose();
  // The end of the session is agreed to (or called off): no request is
  // taken meanwhile.
  void SessionEnding(bool ending) { sessionEnding_ = ending; }

  // The library calls of the operation under way (CallObserver).
  void CallStarts(const LibraryCall& call) override;
  // A box, a menu or a dialog begins or ends waiting for the user.
  void UserWaits(bool begins);

  // What runs, or null.
  const OperationKind* Current() const { return current_; }
  OperationsState State() const;
  bool Running() const { return current_ != nullptr; }
  // Something runs or waits: a user's command would be dropped.
  bool Busy() const { return current_ || !queue_.empty(); }
  // The requests that wait.
  size_t Waiting() const { return queue_.size(); }
  // A close was asked for and waits for the end.
  bool ClosePending() const { return closeRequested_; }
  // The operation under way has changed the device, or a request that may
  // waits.
  bool BlocksSessionEnd() const;

 private:
  struct Request {
    const OperationKind* kind;
    Work work;
  };
  void RunOne(const OperationKind& kind, const Work& work);
  void AfterRun();
  void UpdateAwake();

  OperationHooks* hooks_ = nullptr;
  const OperationKind* current_ = nullptr;
  bool writes_ = false, called_ = false, awake_ = false, stop_ = false, closeRequested_ = false, sessionEnding_ = false;
  int userWaits_ = 0;
  std::deque<Request> queue_;
};

Operations& TheOperations();

// A box, a menu or a dialog that waits for the user, for the lifetime of the
// object.
class UserWait {
 public:
  UserWait() { TheOperations().UserWaits(true); }
  ~UserWait() { TheOperations().UserWaits(false); }
  UserWait(const UserWait&) = delete;
  UserWait& operator=(const UserWait&) = delete;
};

// The question a close asks when a library call has not come back, with
// the number of requests that wait and would be lost, and whether the call
// writes a file (device text).
std::string UnansweredQuestion(size_t waiting, bool writing);

#endif
