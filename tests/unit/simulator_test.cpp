// What the other tests rely on the simulated P/ECE for without seeing it:
// its capacity and the full-flash status, injected faults, the call log.
#include <gtest/gtest.h>

#include "device/pieceif.h"
#include "tests/support/fakes.h"

namespace {

TEST(Simulator, FlashFaultsAndLog) {
  TempDir home, host;
  piecesim::SetHome(home.path());
  piecesim::ResetAll();
  piecesim::CreateDevice(0, 100);
  auto write = [&](const char* name, size_t size) { return ismPFFSWrite(name, host.Write("in", std::string(size, *name)).c_str()); };
  char text[64] = "";
  ASSERT_EQ(0, ismInitEx(0, 0));
  EXPECT_EQ(0, write("a", 60));
  EXPECT_EQ(kPieceFlashFull, write("b", 41));   // a full flash keeps what it holds
  EXPECT_EQ(0, write("b", 40));                 // exactly full is allowed
  EXPECT_EQ(0, write("A", 0));                  // names are case-sensitive
  EXPECT_EQ(0, ismPFFSDir(text, sizeof text, 0));
  EXPECT_STREQ("+0:60 a\n+1:40 b\n+2:0 A\n0 bytes free\n", text);

  piecesim::ClearFaults();                          // calls are counted from here
  piecesim::InjectFault("ismPFFSWrite", 2, 77);   // the second call fails, without effect
  piecesim::InjectFault("ismPFFSDelete", 0, 9);   // every call
  piecesim::InjectFault("ismGetVersion", 1, 5);   // whose only failure is -1
  EXPECT_EQ(0, write("a", 1));
  EXPECT_EQ(77, write("b", 1));
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_EQ(-1, ismGetVersion(text, 1));
  EXPECT_EQ(0, ismPFFSDir(text, sizeof text, 0));
  EXPECT_STREQ("+0:1 a\n+1:40 b\n+2:0 A\n59 bytes free\n", text);   // the faulted write did nothing
  EXPECT_EQ(1, piecesim::OpenConnections());
  EXPECT_EQ(0, ismExit());
  piecesim::ClearFaults();
  EXPECT_EQ(2, ismPFFSDelete("a"));   // no connection
  const Strings log = piecesim::CallLog();
  EXPECT_EQ((Strings{"ismPFFSWrite(a, " + host.File("in") + ") = 0", "ismPFFSWrite(b, " + host.File("in") + ") = 77",
                     "ismPFFSDelete(a) = 9", "ismPFFSDelete(a) = 9", "ismGetVersion(1) = -1", "ismPFFSDir(64, 0) = 0",
                     "ismExit() = 0", "ismPFFSDelete(a) = 2"}),
            Strings(log.end() - 8, log.end()));
  piecesim::ResetAll();
}

}  // namespace
