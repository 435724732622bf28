// One operation at a time: what a key, a request from outside and a close do
// while an operation runs, and in what order the waiting ones run.
#include <gtest/gtest.h>

#include "app/operations.h"
#include "tests/support/fakes.h"

namespace {

struct Recorder : OperationHooks {
  Strings log;
  void Began() override { log.push_back("begin"); }
  void BeganWriting() override { log.back() += " writes"; }
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
         EXPECT_TRUE(ops.Start(false, [&] { log.push_back("F5"); }));
         ops.RequestClose();
       },
       {"begin", "F5", "end", "close"}},
      {"inside an operation a key is dropped, requests wait in their order, the close waits for them",
       [](Operations& ops, Strings& log) {
         ops.Start(true, [&] {
           EXPECT_FALSE(ops.Start(false, [&] { log.push_back("F5"); }));
           ops.Submit(true, [&] { log.push_back("hand-over"); });
           ops.RequestClose();
           ops.Submit(false, [&] { log.push_back("drop"); });
           ops.RunQueued();   // a posted message that comes too early
           log.push_back("delete");
         });
         EXPECT_FALSE(ops.Start(false, [&] { log.push_back("key before the queue ran"); }));
         ops.Submit(true, [&] { log.push_back("behind them"); });
         ops.RunQueued();
       },
       {"begin writes", "delete", "end", "later", "begin writes", "hand-over", "end", "begin", "drop", "end",
        "begin writes", "behind them", "end", "close"}},
      {"a request that comes while the queue runs joins it",
       [](Operations& ops, Strings& log) {
         ops.Start(false, [&] { ops.Submit(true, [&] { ops.Submit(true, [&] { log.push_back("second"); }); log.push_back("first"); }); });
         ops.RunQueued();
       },
       {"begin", "end", "later", "begin writes", "first", "end", "begin writes", "second", "end"}},
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

TEST(OperationsTest, TheSessionMayNotEndWhileAWriteRunsOrWaits) {
  Operations ops;
  std::string seen;
  auto blocks = [&] { seen += ops.BlocksSessionEnd() ? '1' : '0'; };
  ops.Start(false, [&] { blocks(), ops.Submit(false, blocks), blocks(), ops.Submit(true, blocks), blocks(); });
  ops.RunQueued(), blocks();
  EXPECT_EQ("001110", seen);
}

}  // namespace
