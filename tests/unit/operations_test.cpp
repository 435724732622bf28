// One operation at a time: what a key, a request from outside and a close do
// while an operation runs, and in what order the waiting ones run.
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
      {"idle: a key runs, a close is done at once",
       [](Operations& ops, Strings& log) {
         EXPECT_TRUE(ops.Start([&] { log.push_back("F5"); }));
         ops.RequestClose();
       },
       {"begin", "F5", "end", "close"}},
      {"inside an operation a key is dropped, requests wait in their order, the close waits for them",
       [](Operations& ops, Strings& log) {
         ops.Start([&] {
           EXPECT_FALSE(ops.Start([&] { log.push_back("F5"); }));
           ops.Submit(true, [&] { log.push_back("hand-over"); });
           ops.RequestClose();
           ops.Submit(false, [&] { log.push_back("drop"); });
           ops.RunQueued();   // a posted message that comes too early
           log.push_back("delete");
         });
         EXPECT_FALSE(ops.Start([&] { log.push_back("key before the queue ran"); }));
         ops.Submit(true, [&] { log.push_back("behind them"); });
         ops.RunQueued();
       },
       {"begin", "delete", "end", "later", "begin", "hand-over", "end", "begin", "drop", "end", "begin", "behind them", "end",
        "close"}},
      {"a request that comes while the queue runs joins it",
       [](Operations& ops, Strings& log) {
         ops.Start([&] { ops.Submit(true, [&] { ops.Submit(true, [&] { log.push_back("second"); }); log.push_back("first"); }); });
         ops.RunQueued();
       },
       {"begin", "end", "later", "begin", "first", "end", "begin", "second", "end"}},
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
  auto call = [&](PieceFunctionId function) {
    LibraryCall c;
    c.function = function;
    ops.CallStarts(c);
  };
  auto asked = [&] { ops.UserWaits(true), hooks.log.push_back("box"), blocks(), ops.UserWaits(false); };
  call(kIsmPFFSWrite), blocks();   // outside an operation
  ops.Start([&] {
    asked(), call(kIsmPFFSDir), blocks();
    ops.Submit(false, blocks), blocks();
    call(kIsmPFFSDelete), blocks(), asked();
    ops.Submit(true, [&] { blocks(), call(kIsmCmdW), blocks(); });
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
  // The calls that change the device's flash, memory or application.
  std::string changing;
  for (int f = 0; f < kPieceFunctionCount; ++f) {
    Operations one;
    one.Start([&] {
      LibraryCall c;
      c.function = static_cast<PieceFunctionId>(f);
      one.CallStarts(c);
      changing += one.BlocksSessionEnd() ? '1' : '0';
    });
  }
  EXPECT_EQ("0010011100011", changing) << "InitEx Exit CmdW CmdR ReadMem WriteMem AppStop AppStart GetVersion Dir Read Write Delete";
  // A close while a call does not come back says what waits and is lost.
  EXPECT_EQ("P/ECEが応答しません。Quilletを終了しますか？", UnansweredQuestion(0));
  EXPECT_EQ("P/ECEが応答しません。\n待機中の2件は書き込まれません。\nQuilletを終了しますか？", UnansweredQuestion(2));
}

}  // namespace
