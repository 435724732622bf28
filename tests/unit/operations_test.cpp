// One operation at a time: what a key, a request, a stop and a close do while
// an operation runs and in what order the waiting ones run, and when the
// session may end and the PC sleep.
#include <gtest/gtest.h>

#include "app/operations.h"
#include "device/library_call.h"
#include "tests/support/fakes.h"

namespace {

struct Recorder : OperationHooks {
  Strings log;
  void Began() override { log.push_back("begin"); }
  void BeganWriting() override { log.push_back("writes"); }
  void KeepAwake(bool awake) override { log.push_back(awake ? "awake" : "may sleep"); }
  void Ended() override { log.push_back("end"); }
  void RunQueuedLater() override { log.push_back("later"); }
  void Close() override { log.push_back("close"); }
};

TEST(OperationsTest, OneAtATimeAndNothingLost) {
  const struct {
    const char* what;
    std::function<void(Operations&, Strings&)> act;
    Strings log;
  } rows[] = {
      {"inside an operation a key is dropped, requests wait in their order, the close waits for them",
       [](Operations& ops, Strings& log) {
         ops.Start(kinds::kDelete, [&] {
           EXPECT_FALSE(ops.Start(kinds::kRefresh, [&] { log.push_back("F5"); }));
           ops.Submit(kinds::kWrite, [&] { log.push_back("hand-over"); });
           ops.RequestClose();
           ops.Submit(kinds::kRefresh, [&] { log.push_back("drop"); });
           ops.RunQueued();   // a posted message that comes too early
           log.push_back("delete");
         });
         EXPECT_FALSE(ops.Start(kinds::kRefresh, [&] { log.push_back("key before the queue ran"); }));
         ops.Submit(kinds::kWrite, [&] { log.push_back("behind them"); });
         ops.RunQueued();
       },
       {"begin", "delete", "end", "later", "begin", "hand-over", "end", "begin", "drop", "end", "begin", "behind them", "end",
        "close"}},
      {"a stop is taken by what can be stopped, until it ends; the menu goes on as its command",
       [](Operations& ops, Strings& log) {
         auto stop = [&] { log.push_back(ops.RequestStop() ? "stopped" : "not stopped"), log.back() += ops.StopRequested() ? "!" : ""; };
         stop();
         ops.Start(kinds::kRead, stop);
         ops.Start(kinds::kMenu, [&] { stop(), ops.Continue(kinds::kWrite), stop(); });
         ops.Start(kinds::kDragRead, stop);
       },
       {"not stopped", "begin", "stopped!", "end", "begin", "not stopped", "stopped!", "end", "begin", "not stopped", "end"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Operations ops;
    Recorder hooks;
    ops.SetHooks(&hooks);
    r.act(ops, hooks.log);
    EXPECT_EQ(r.log, hooks.log);
    EXPECT_FALSE(ops.Busy());
  }
}

// The end of the session is refused from an operation's first call that
// changes the device to its end, and while a request that may write waits;
// the PC is kept awake from its first call on, but while the user is asked.
TEST(OperationsTest, TheSessionAndTheSleepFollowTheCalls) {
  Operations ops;
  Recorder hooks;
  ops.SetHooks(&hooks);
  std::string seen;
  auto blocks = [&] { seen += ops.BlocksSessionEnd() ? '1' : '0'; };
  auto call = [&](Operations& to, PieceFunctionId function) {
    LibraryCall c;
    c.function = function;
    to.CallStarts(c);
  };
  auto asked = [&] { ops.UserWaits(true), hooks.log.push_back("box"), blocks(), ops.UserWaits(false); };
  call(ops, kIsmPFFSWrite), blocks();   // outside an operation
  ops.Start(kinds::kDelete, [&] {
    asked(), call(ops, kIsmPFFSDir), blocks();
    ops.Submit(kinds::kRefresh, blocks), blocks();
    call(ops, kIsmPFFSDelete), blocks(), asked();
    ops.Submit(kinds::kWrite, [&] { blocks(), call(ops, kIsmCmdW), blocks(); });
  });
  blocks();
  ops.RunQueued(), blocks();
  // Outside; at the question, after a read, with a request that does not
  // write waiting; after a delete, at its box; the writing request waiting,
  // then while the one before it runs; before its first changing call and
  // after it; all done.
  EXPECT_EQ("0" "000" "11" "11" "01" "0", seen);
  EXPECT_EQ((Strings{"begin", "box", "awake", "writes", "may sleep", "box", "awake", "may sleep", "end", "later", "begin",
                     "end", "begin", "writes", "awake", "may sleep", "end"}),
            hooks.log);
  ops.SessionEnding(true);   // once the session ends, no request is taken
  EXPECT_FALSE(ops.Submit(kinds::kWrite, [] {}));
  // The calls that change the device's flash, memory or application.
  std::string changing;
  for (int f = 0; f < kPieceFunctionCount; ++f) {
    Operations one;
    one.Start(kinds::kRefresh, [&] { call(one, static_cast<PieceFunctionId>(f)), changing += one.BlocksSessionEnd() ? '1' : '0'; });
  }
  EXPECT_EQ("0010011100011", changing) << "InitEx Exit CmdW CmdR ReadMem WriteMem AppStop AppStart GetVersion Dir Read Write Delete";
  // A close while a call does not come back says what waits and is lost.
  EXPECT_EQ("P/ECEが応答しません。Quilletを終了しますか？", UnansweredQuestion(0, false));
  EXPECT_EQ("P/ECEが応答しません。\n待機中の2件は書き込まれません。\nQuilletを終了しますか？", UnansweredQuestion(2, false));
  EXPECT_EQ("P/ECEが応答しません。書き込み中のファイルは不完全なまま残るかもしれません。\n待機中の1件は書き込まれません。\n"
            "Quilletを終了しますか？", UnansweredQuestion(1, true));
}

}  // namespace
