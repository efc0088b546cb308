#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "platform/CoreFoundation.h"

// This test program stands in for the machine's wall clock: the platform
// library asks the C library for the time, and the program's own
// clock_gettime answers first, with the real time shifted as a user or a
// time server would shift it.
namespace {
std::atomic<long> gWallClockShift{0};  // seconds
}

extern "C" int clock_gettime(clockid_t clock, timespec* time) {
  const long result = syscall(SYS_clock_gettime, clock, time);
  if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE))
    time->tv_sec += gWallClockShift.load();
  return static_cast<int>(result);
}

namespace {

void CountCall(CFRunLoopTimerRef, void* info) {
  ++*static_cast<int*>(info);
}

void JumpForward(CFRunLoopTimerRef timer, void* info) {
  gWallClockShift = 3600;
  CountCall(timer, info);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// An editor's redraw timer keeps its pace and a run keeps its length
// whichever way the wall clock jumps meanwhile; the fire date a caller
// reads follows the wall clock of the moment it asks.
TEST(RunLoopWallClockTest, AJumpOfTheWallClockNeitherStallsTimersNorShortensRuns) {
  int calls = 0;
  CFRunLoopTimerContext context = {0, &calls, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + 0.02, 0.02,
                                                 0, 0, CountCall, &context);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopDefaultMode);

  for (long shift : {-3600L, 3600L, 0L}) {
    SCOPED_TRACE(shift);
    gWallClockShift = shift;
    const double untilNext = CFRunLoopTimerGetNextFireDate(timer) - CFAbsoluteTimeGetCurrent();
    EXPECT_GE(untilNext, -0.001);
    EXPECT_LE(untilNext, 0.021);

    calls = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false), kCFRunLoopRunTimedOut);
    EXPECT_GE(SecondsSince(start), 0.2);
    EXPECT_GE(calls, 8);
    EXPECT_LE(calls, 11);
  }

  // The wall clock jumps forward in the middle of a run.
  int jumps = 0;
  CFRunLoopTimerContext jumpContext = {0, &jumps, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef jump = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + 0.05, 0, 0, 0,
                                                JumpForward, &jumpContext);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), jump, kCFRunLoopDefaultMode);
  CFRelease(jump);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false), kCFRunLoopRunTimedOut);
  EXPECT_EQ(jumps, 1);
  EXPECT_GE(SecondsSince(start), 0.2);

  // A fire date set under one wall clock means as long from then under another.
  CFRunLoopTimerSetNextFireDate(timer, CFAbsoluteTimeGetCurrent() + 0.3);
  gWallClockShift = -3600;  // from +3600: two hours back
  calls = 0;
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false);
  EXPECT_EQ(calls, 0);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.15, false);
  EXPECT_GE(calls, 1);
  gWallClockShift = 0;

  CFRunLoopTimerInvalidate(timer);
  CFRelease(timer);
}

}  // namespace
