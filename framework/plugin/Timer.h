#pragma once

// An interval timer on the process's processor-time clock (not wall time).
class Timer {
 public:
  // Clock ticks; the platform's processor clock unless a test supplies one.
  using Clock = unsigned int (*)();
  static unsigned int ProcessClockTicks();

  explicit Timer(Clock clock = ProcessClockTicks);

  // True, restarting the interval, once more than the given number of seconds
  // of ticks have passed since construction or the last true result.
  // Wrap-around of the 32-bit tick count is harmless. [any thread]
  bool Every(double seconds);

 private:
  Clock mClock;
  unsigned int mStart;
};
