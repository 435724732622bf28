// What the other tests rely on the simulated P/ECE for without seeing it:
// its capacity and the full-flash status, injected faults, the count of open
// connections, and a call log that holds the failed calls too.
#include <gtest/gtest.h>

#include "device/pieceif.h"
#include "tests/support/fakes.h"

namespace {

class Simulator : public SimTest {};

TEST_F(Simulator, FlashFaultsConnectionsAndLog) {
  Reset({}, 100);
  auto write = [&](const char* name, size_t size) { return ismPFFSWrite(name, host.Write("in", std::string(size, *name)).c_str()); };
  ASSERT_EQ(0, ismInitEx(0, 0));
  EXPECT_EQ(0, write("a", 60));
  EXPECT_EQ(kPieceFlashFull, write("b", 41));   // a full flash keeps what it holds
  EXPECT_EQ(0, write("b", 40));                 // exactly full is allowed
  piecesim::ClearFaults(), piecesim::ClearCallLog();   // calls are counted from here
  piecesim::InjectFault("ismPFFSWrite", 2, 77);   // the second call fails, without effect
  piecesim::InjectFault("ismPFFSDelete", 0, 9);   // every call
  EXPECT_EQ(0, write("a", 1));
  EXPECT_EQ(77, write("b", 1));
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_EQ(9, ismPFFSDelete("a"));
  EXPECT_EQ((Strings{"a", "b"}), piecesim::ListFiles(0));
  EXPECT_EQ(std::string(40, 'b'), Device("b"));
  EXPECT_EQ(1, piecesim::OpenConnections());
  EXPECT_EQ(0, ismExit());
  EXPECT_EQ((Strings{"ismPFFSWrite(a, " + host.File("in") + ") = 0", "ismPFFSWrite(b, " + host.File("in") + ") = 77",
                     "ismPFFSDelete(a) = 9", "ismPFFSDelete(a) = 9", "ismExit() = 0"}),
            Calls());
}

}  // namespace
