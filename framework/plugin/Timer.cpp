#include "framework/plugin/Timer.h"

#include <ctime>

unsigned int Timer::ProcessClockTicks() {
  return static_cast<unsigned int>(clock());
}

Timer::Timer(Clock clock) : mClock(clock), mStart(clock()) {}

bool Timer::Every(double seconds) {
  const unsigned int now = mClock();
  const unsigned int elapsed = now - mStart;
  if (static_cast<double>(elapsed) > seconds * static_cast<double>(CLOCKS_PER_SEC)) {
    mStart = now;
    return true;
  }
  return false;
}
