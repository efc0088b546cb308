#include "framework/plugin/Timer.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {
unsigned int gTicks = 0;
unsigned int FakeTicks() {
  return gTicks;
}
}  // namespace

TEST(TimerTest, EveryFiresOnceAfterMoreThanTheInterval) {
  gTicks = 1000;
  Timer timer(FakeTicks);
  gTicks += 500000;  // exactly the interval: not yet
  EXPECT_FALSE(timer.Every(0.5));
  gTicks += 1;
  EXPECT_TRUE(timer.Every(0.5));
  EXPECT_FALSE(timer.Every(0.5));  // the interval restarted
  gTicks += 400000;
  EXPECT_FALSE(timer.Every(0.5));
  gTicks += 100001;
  EXPECT_TRUE(timer.Every(0.5));
}

TEST(TimerTest, TickCounterWrapAroundIsAnOrdinaryInterval) {
  gTicks = 0xFFFFFF00u;
  Timer timer(FakeTicks);
  gTicks += 0x200;  // wraps past zero
  EXPECT_FALSE(timer.Every(0.001));
  gTicks += 1000;
  EXPECT_TRUE(timer.Every(0.001));
}

TEST(TimerTest, RealClockCountsProcessorTime) {
  // Taken before the timer starts, so the timer cannot have seen more.
  const clock_t start = clock();
  Timer timer;
  EXPECT_FALSE(timer.Every(1000.0));
  // Burn a little processor time; 10 ms of it must be seen well within 10 s.
  volatile double sink = 0;
  bool fired = false;
  while (!fired && clock() - start < 10 * CLOCKS_PER_SEC) {
    for (int i = 0; i < 10000; ++i)
      sink = sink + i;
    fired = timer.Every(0.01);
  }
  EXPECT_TRUE(fired);
  EXPECT_GT(clock() - start, CLOCKS_PER_SEC / 100);
}
