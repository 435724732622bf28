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
#ifndef QUILLET_APP_OPERATIONS_H
#define QUILLET_APP_OPERATIONS_H

#include <deque>
#include <functional>

// What the window side does around operations.
class OperationHooks {
 public:
  virtual ~OperationHooks() = default;
  // An operation begins or ends. From BeganWriting on it may write the
  // device's flash or memory, so the session must not end meanwhile.
  virtual void Began() {}
  virtual void BeganWriting() {}
  virtual void Ended() {}
  // Requests wait: RunQueued must be called soon, from the message loop
  // rather than from inside the handler that ran the last operation (whose
  // sender may still be waiting for its answer).
  virtual void RunQueuedLater() {}
  // The close asked for has come due.
  virtual void Close() {}
};

class Operations {
 public:
  using Work = std::function<void()>;

  void SetHooks(OperationHooks* hooks) { hooks_ = hooks; }

  // A user's command: true when it ran, false when it was dropped.
  bool Start(bool writes, const Work& work);
  // A request from outside: runs now, or after what runs and waits.
  void Submit(bool writes, Work work);
  // Runs the waiting requests, each as an operation of its own.
  void RunQueued();
  // A close: now when nothing runs or waits, else once all have ended.
  void RequestClose();
  // The operation under way turns out to write (a menu's chosen command).
  void DeclareWrites();

  bool Running() const { return running_; }
  // Something runs or waits: a user's command would be dropped.
  bool Busy() const { return running_ || !queue_.empty(); }
  // An operation that writes runs, or a request that writes waits.
  bool BlocksSessionEnd() const;

 private:
  struct Request {
    bool writes;
    Work work;
  };
  void RunOne(bool writes, const Work& work);
  void AfterRun();

  OperationHooks* hooks_ = nullptr;
  bool running_ = false, writes_ = false, closeRequested_ = false;
  std::deque<Request> queue_;
};

Operations& TheOperations();

#endif
