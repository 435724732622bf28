// What runs now and what waits. A device operation (a drop, a key's
// command, a menu command, the tray's refresh, a hand-over from a second
// start, the start-up write) runs from its first step to its last, its
// boxes and waits included, and no other starts inside it. Every way in
// goes through here:
//
// - the user's keys, clicks and menu commands Start: they run when nothing
//   runs or waits, and are dropped otherwise, as under a modal box;
// - requests from outside (a hand-over, dropped files) are Submitted: they
//   run at once when nothing runs, else wait their turn and run afterwards
//   in the order they came; nothing accepted is dropped;
// - a close asked for meanwhile is done when the operation and the waiting
//   requests have ended.
//
// The library calls an operation makes are seen here too: from its first
// call that changes the device until its end the session must not end, and
// from its first call on the PC is kept awake, but for the time a box, a
// menu or a dialog waits for the user.
#ifndef QUILLET_APP_OPERATIONS_H
#define QUILLET_APP_OPERATIONS_H

#include <deque>
#include <functional>
#include <string>

#include "device/library_call.h"

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
  bool Start(const Work& work);
  // A request from outside: runs now, or after what runs and waits. writes:
  // it may change the device, so the session may not end while it waits.
  void Submit(bool writes, Work work);
  // Runs the waiting requests, each as an operation of its own.
  void RunQueued();
  // A close: now when nothing runs or waits, else once all have ended.
  void RequestClose();

  // The library calls of the operation under way (CallObserver).
  void CallStarts(const LibraryCall& call) override;
  // A box, a menu or a dialog begins or ends waiting for the user.
  void UserWaits(bool begins);

  bool Running() const { return running_; }
  // The requests that wait.
  size_t Waiting() const { return queue_.size(); }
  // Something runs or waits: a user's command would be dropped.
  bool Busy() const { return running_ || !queue_.empty(); }
  // The operation under way has changed the device, or a request that may
  // waits.
  bool BlocksSessionEnd() const;

 private:
  struct Request {
    bool writes;
    Work work;
  };
  void RunOne(const Work& work);
  void AfterRun();
  void UpdateAwake();

  OperationHooks* hooks_ = nullptr;
  bool running_ = false, writes_ = false, called_ = false, awake_ = false, closeRequested_ = false;
  int userWaits_ = 0;
  std::deque<Request> queue_;
};

Operations& TheOperations();

// The question a close asks when a library call has not come back, with
// the number of requests that wait and would be lost (device text).
std::string UnansweredQuestion(size_t waiting);

// A box, a menu or a dialog that waits for the user, for the lifetime of the
// object.
class UserWait {
 public:
  UserWait() { TheOperations().UserWaits(true); }
  ~UserWait() { TheOperations().UserWaits(false); }
  UserWait(const UserWait&) = delete;
  UserWait& operator=(const UserWait&) = delete;
};

#endif
