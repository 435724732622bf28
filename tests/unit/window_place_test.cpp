// Where the windows go, with a second monitor to the right of the primary
// one, whose work areas differ: a dialog stays on its owner's monitor, a
// stored place on either monitor is taken, and a DPI change while the
// stored place is taken keeps its size.
#include <gtest/gtest.h>

#include "app/window_place.h"

namespace {

std::string Text(const ScreenRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

TEST(WindowPlace, OnEveryMonitor) {
  const ScreenRect primary{0, 0, 1920, 1040}, second{1920, 0, 3200, 1024}, dialog{0, 0, 300, 200};
  const struct { ScreenRect around, work; const char* placed; } dialogs[] = {
      {{2000, 100, 2400, 500}, second, "2050,200,2350,400"},    // over its owner on the second monitor
      {{3000, 900, 3300, 1100}, second, "2900,824,3200,1024"},  // whole on that monitor's work area
      {primary, primary, "810,420,1110,620"},                   // no owner to be seen
      {{100, 100, 400, 300}, {0, 0, 200, 100}, "0,0,300,200"},  // larger than the work area: its top left on it
  };
  for (const auto& d : dialogs) EXPECT_EQ(d.placed, Text(CenterOver(dialog, d.around, d.work))) << d.placed;
  const struct { ScreenRect stored; bool used; } stored[] = {
      {{2000, 100, 2300, 400}, true}, {{3199, 1023, 3500, 1300}, true}, {{3200, 0, 3500, 300}, false},
      {{-500, -500, 0, 0}, false}, {{-500, -500, 1, 1}, true},
  };
  for (const auto& s : stored) EXPECT_EQ(s.used, OverlapsSomeWorkArea(s.stored, {primary, second})) << Text(s.stored);
  const ScreenRect now{2000, 100, 2300, 400}, suggested{3000, 100, 3375, 475};
  EXPECT_EQ("2000,100,2300,400", Text(AfterDpiChange(true, now, suggested, second)));
  EXPECT_EQ("2825,100,3200,475", Text(AfterDpiChange(false, now, suggested, second)));
}

}  // namespace
