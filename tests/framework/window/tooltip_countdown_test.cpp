#include <gtest/gtest.h>

#include "framework/window/TooltipCountdown.h"

namespace {

// Ticks until the countdown acts; the number of ticks taken.
int TicksUntil(TooltipCountdown* countdown, TooltipCountdown::Action action, int limit = 1000) {
  for (int n = 1; n <= limit; ++n) {
    const TooltipCountdown::Action got = countdown->Tick();
    if (got == action) return n;
    if (got != TooltipCountdown::kNone) return -n;
  }
  return 0;
}

// At 25 fps the tooltip shows 37 ticks (1.5 s) after the pointer rests on a
// control with one, hides 250 ticks (10 s) later and then stays hidden;
// moving to another control hides it at once and starts over; a control
// without a tooltip, or a click, stops the count.
TEST(TooltipCountdownTest, ShowsAfterOneAndAHalfSecondsForTen) {
  TooltipCountdown countdown(25);
  EXPECT_EQ(countdown.Tick(), TooltipCountdown::kNone) << "idle until armed";
  EXPECT_EQ(countdown.MouseOver(3, true), TooltipCountdown::kNone);
  EXPECT_EQ(countdown.MouseOver(3, true), TooltipCountdown::kNone) << "same control: no restart";
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow), 37);
  EXPECT_TRUE(countdown.Showing());
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kHide), 250);
  EXPECT_FALSE(countdown.Showing());
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow, 500), 0) << "once per visit";

  EXPECT_EQ(countdown.MouseOver(5, true), TooltipCountdown::kNone);
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow), 37);
  EXPECT_EQ(countdown.MouseOver(6, true), TooltipCountdown::kHide);
  EXPECT_EQ(countdown.ControlIdx(), 6);
  for (int i = 0; i < 20; ++i)
    countdown.Tick();
  EXPECT_EQ(countdown.MouseOver(7, false), TooltipCountdown::kNone);
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow, 500), 0) << "no tooltip, no count";

  EXPECT_EQ(countdown.MouseOver(-1, false), TooltipCountdown::kNone);
  EXPECT_EQ(countdown.MouseOver(8, true), TooltipCountdown::kNone);
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow), 37);
  EXPECT_EQ(countdown.Cancel(), TooltipCountdown::kHide);
  EXPECT_EQ(countdown.Cancel(), TooltipCountdown::kNone);
  EXPECT_EQ(TicksUntil(&countdown, TooltipCountdown::kShow, 500), 0) << "a click ends the visit";

  // Other frame rates scale both spans; one tick is the least.
  TooltipCountdown slow(1);
  slow.MouseOver(0, true);
  EXPECT_EQ(TicksUntil(&slow, TooltipCountdown::kShow), 1);
  EXPECT_EQ(TicksUntil(&slow, TooltipCountdown::kHide), 10);
  TooltipCountdown fast(60);
  fast.MouseOver(0, true);
  EXPECT_EQ(TicksUntil(&fast, TooltipCountdown::kShow), 90);
  EXPECT_EQ(TicksUntil(&fast, TooltipCountdown::kHide), 600);
}

}  // namespace
