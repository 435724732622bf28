// Pausing the device around the PAUSE window: the order of the commands, no
// connection while the window is up, every failure, and the blink timing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pause/pause_blink.h"
#include "pause/pause_device.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"

namespace {

const char kCannotConnect[] = "P/ECEに接続できません。";
const char kControlError[] = "実行制御エラーです。";

class PauseTest : public SimTest {
 protected:
  // The stand-in for the modal window: notes what the device looked like
  // while it was up.
  std::function<void()> Window(std::function<void()> also = nullptr) {
    return [this, also] {
      ++shown;
      openWhileShown = piecesim::OpenConnections();
      pausedWhileShown = piecesim::GetState(0, "paused");
      callsBeforeWindow = Calls().size();
      if (also) also();
    };
  }

  int shown = 0;
  int openWhileShown = -1;
  std::string pausedWhileShown;
  size_t callsBeforeWindow = 0;
};

TEST_F(PauseTest, PausesWithoutAConnectionAndResumes) {
  PauseDevice(Window());
  EXPECT_EQ(1, shown);
  EXPECT_EQ(0, openWhileShown);
  EXPECT_EQ("1", pausedWhileShown);
  EXPECT_EQ("0", piecesim::GetState(0, "paused"));
  EXPECT_EQ((std::vector<std::string>{"ismExit() = 0", "ismInitEx(0, 0) = 0",
                                      "ismCmdW(10 01, 2, 0, 0) = 0", "ismExit() = 0",
                                      "ismExit() = 0", "ismInitEx(0, 0) = 0",
                                      "ismCmdW(10 00, 2, 0, 0) = 0", "ismExit() = 0"}),
            Calls());
  EXPECT_EQ(4u, callsBeforeWindow);
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(PauseTest, NoDeviceShowsOneMessageAndNoWindow) {
  piecesim::RemoveDevice(0);
  PauseDevice(Window());
  EXPECT_EQ(0, shown);
  EXPECT_EQ((std::vector<std::string>{kCannotConnect}), platform.ShownTexts());
  EXPECT_TRUE(Calls({"ismCmdW"}).empty());
}

TEST_F(PauseTest, RefusedPauseClosesTheConnectionAndShowsNoWindow) {
  piecesim::InjectFault("ismCmdW", 1, 9);
  PauseDevice(Window());
  EXPECT_EQ(0, shown);
  EXPECT_EQ((std::vector<std::string>{kControlError}), platform.ShownTexts());
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
  EXPECT_EQ((std::vector<std::string>{"ismExit", "ismInitEx", "ismCmdW", "ismExit"}), CallNames());
}

TEST_F(PauseTest, UnpluggedWhileShownStaysPausedWithoutResume) {
  PauseDevice(Window([] { piecesim::RemoveDevice(0); }));
  EXPECT_EQ(1, shown);
  EXPECT_EQ((std::vector<std::string>{kCannotConnect}), platform.ShownTexts());
  EXPECT_EQ((std::vector<std::string>{"ismCmdW(10 01, 2, 0, 0) = 0"}), Calls({"ismCmdW"}));
}

TEST_F(PauseTest, RefusedResumeIsReportedAndTheConnectionClosed) {
  piecesim::InjectFault("ismCmdW", 2, 9);
  PauseDevice(Window());
  EXPECT_EQ(1, shown);
  EXPECT_EQ((std::vector<std::string>{kControlError}), platform.ShownTexts());
  EXPECT_EQ("ismExit", CallNames().back());
  EXPECT_EQ("1", piecesim::GetState(0, "paused"));

  // Pressing Pause/Break again runs the whole sequence and resumes.
  piecesim::ClearFaults();
  PauseDevice(Window());
  EXPECT_EQ("0", piecesim::GetState(0, "paused"));
}

// Which text the window shows at a given time, the timer ticking every
// 200 ms from the opening with the count starting at 0.
std::string TextAt(int milliseconds) {
  std::string text = PauseWord();
  for (int count = 0; kPauseTimerMs * (count + 1) <= static_cast<unsigned>(milliseconds); ++count)
    if (const char* next = PauseTextAtTick(count)) text = next;
  return text;
}

TEST(PauseBlinkTest, ShownThreeTicksBlankOne) {
  const std::string word = "ＰＡＵＳＥ";
  EXPECT_EQ(word, PauseWord());
  for (int ms : {0, 199, 200, 600, 799, 1000, 1599, 1800, 2399})
    EXPECT_EQ(word, TextAt(ms)) << ms;
  for (int ms : {800, 999, 1600, 1799, 2400})
    EXPECT_EQ("", TextAt(ms)) << ms;
  EXPECT_EQ(nullptr, PauseTextAtTick(1));
  EXPECT_EQ(nullptr, PauseTextAtTick(6));
}

}  // namespace
