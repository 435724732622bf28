// Connecting with the fall-back to device 0, and the command channel's wire
// formats as the library sees them.
#include <gtest/gtest.h>

#include "device/connection.h"
#include "device/pieceif.h"
#include "tests/support/sim_fixture.h"

namespace {

class ConnectionTest : public SimTest {};

TEST_F(ConnectionTest, NextDeviceThenFallBackToZero) {
  piecesim::CreateDevice(1);
  deviceIndex = 1;
  ASSERT_TRUE(ConnectDevice());
  EXPECT_EQ(1, deviceIndex);
  DisconnectDevice();
  ++deviceIndex;
  ASSERT_TRUE(ConnectDevice());
  EXPECT_EQ(0, deviceIndex);
  DisconnectDevice();
  EXPECT_EQ((std::vector<std::string>{"ismExit() = 0", "ismInitEx(1, 0) = 0", "ismExit() = 0",
                                      "ismExit() = 0", "ismInitEx(2, 0) = 6", "ismExit() = 0",
                                      "ismInitEx(0, 0) = 0", "ismExit() = 0"}),
            Calls());
}

TEST_F(ConnectionTest, NoDeviceAtAll) {
  piecesim::RemoveDevice(0);
  deviceIndex = 3;
  EXPECT_FALSE(ConnectDevice());
  EXPECT_EQ(0, deviceIndex);
  piecesim::ClearCallLog();
  EXPECT_FALSE(ConnectDevice());
  // Device 0 is not tried twice.
  EXPECT_EQ(1u, Calls({"ismInitEx"}).size());
}

TEST_F(ConnectionTest, WireFormats) {
  ASSERT_TRUE(ConnectDevice());
  piecesim::ClearCallLog();
  EXPECT_EQ(0, SetAppPaused(1));
  EXPECT_EQ(0, SetAppPaused(0));
  EXPECT_EQ(0, WriteChannelValue(0x105, 0x11223344));
  int32_t v = 0;
  EXPECT_EQ(0, ReadChannelValue(5, &v));
  EXPECT_EQ(0, QueryAppStatus(nullptr, nullptr));
  DisconnectDevice();
  EXPECT_EQ((std::vector<std::string>{"ismCmdW(10 01, 2, 0, 0) = 0", "ismCmdW(10 00, 2, 0, 0) = 0",
                                      "ismCmdW(07 05 44 33 22 11, 6, 0, 0) = 0", "ismCmdR(06 05, 2, 2) = 0",
                                      "ismCmdR(11, 1, 12) = 0", "ismExit() = 0"}),
            Calls());
}

TEST_F(ConnectionTest, RepliesAreWidenedAndNothingIsStoredOnFailure) {
  ASSERT_TRUE(ConnectDevice());
  ASSERT_EQ(0, WriteChannelValue(4, 0xfffe));
  int32_t v = 0;
  ASSERT_EQ(0, ReadChannelValue(4, &v));
  EXPECT_EQ(-2, v);
  EXPECT_EQ(0, ReadChannelValue(4, nullptr));

  piecesim::SetState(0, "appstate", "129");
  uint32_t state = 0, value = 0;
  ASSERT_EQ(0, QueryAppStatus(&state, &value));
  EXPECT_EQ(129u, state);

  piecesim::InjectFault("ismCmdR", 0, 7);
  v = 55;
  state = 66;
  EXPECT_EQ(7, ReadChannelValue(4, &v));
  EXPECT_EQ(7, QueryAppStatus(&state, nullptr));
  EXPECT_EQ(55, v);
  EXPECT_EQ(66u, state);
  DisconnectDevice();
}

}  // namespace
