#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/CoreFoundation.h"

namespace {

// A timer or observer whose callback is a std::function.
struct Hook {
  std::function<void()> call;
  int calls = 0;
};

void TimerHook(CFRunLoopTimerRef, void* info) {
  auto* hook = static_cast<Hook*>(info);
  ++hook->calls;
  if (hook->call) hook->call();
}

void ObserverHook(CFRunLoopObserverRef, CFRunLoopActivity, void* info) {
  TimerHook(nullptr, info);
}

CFRunLoopTimerRef AddTimer(Hook* hook, double interval, CFRunLoopMode mode = kCFRunLoopDefaultMode,
                           double firstIn = -1) {
  CFRunLoopTimerContext context = {0, hook, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef timer =
      CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + (firstIn < 0 ? interval : firstIn),
                           interval, 0, 0, TimerHook, &context);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, mode);
  CFRelease(timer);  // the loop keeps it
  return timer;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A pipe whose read end a run-loop source watches; each callback reads
// one byte.
struct PipeSource {
  int fds[2] = {-1, -1};
  CFFileDescriptorRef descriptor = nullptr;
  CFRunLoopSourceRef source = nullptr;
  int fires = 0;
  bool reEnable = false;

  explicit PipeSource(bool closeOnInvalidate = true) {
    EXPECT_EQ(pipe(fds), 0);
    CFFileDescriptorContext context = {0, this, nullptr, nullptr, nullptr};
    descriptor = CFFileDescriptorCreate(nullptr, fds[0], closeOnInvalidate, Fired, &context);
    source = CFFileDescriptorCreateRunLoopSource(nullptr, descriptor, 0);
    CFRunLoopAddSource(CFRunLoopGetCurrent(), source, kCFRunLoopDefaultMode);
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);
  }
  ~PipeSource() {
    CFFileDescriptorInvalidate(descriptor);
    CFRelease(source);
    CFRelease(descriptor);
    close(fds[1]);
  }
  void Write() { EXPECT_EQ(write(fds[1], "x", 1), 1); }
  static void Fired(CFFileDescriptorRef f, CFOptionFlags types, void* info) {
    auto* self = static_cast<PipeSource*>(info);
    EXPECT_EQ(types, static_cast<CFOptionFlags>(kCFFileDescriptorReadCallBack));
    ++self->fires;
    if (self->reEnable) CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
  }
};

// A 20 ms timer fires about 25 times in half a second (counted, not
// timed), a one-shot timer once; invalidation from inside the callback or
// outside stops a timer for good; a timer added in the common modes fires
// in any mode, one added in the default mode only there.
TEST(RunLoopTest, TimersFireAtTheirIntervalUntilInvalidated) {
  Hook repeating, once, common, defaultOnly;
  CFRunLoopTimerRef timer = AddTimer(&repeating, 0.02);
  CFRetain(timer);
  AddTimer(&once, 0, kCFRunLoopDefaultMode, 0.01);
  CFRunLoopTimerRef commonTimer = AddTimer(&common, 0.01, kCFRunLoopCommonModes);
  CFRetain(commonTimer);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.5, false), kCFRunLoopRunTimedOut);
  const double elapsed = Seconds(start);
  EXPECT_GE(elapsed, 0.5);
  EXPECT_LT(elapsed, 0.6);
  EXPECT_GE(repeating.calls, 20);
  EXPECT_LE(repeating.calls, 26);
  EXPECT_EQ(once.calls, 1);
  EXPECT_GE(common.calls, 30);
  EXPECT_TRUE(CFRunLoopTimerIsValid(timer));

  // Another mode: only the common timer takes part.
  CFRunLoopTimerRef defaultTimer = AddTimer(&defaultOnly, 0.005);
  const int before = repeating.calls, commonBefore = common.calls;
  CFStringRef other = CFSTR("OtherMode");
  EXPECT_EQ(CFRunLoopRunInMode(other, 0.1, false), kCFRunLoopRunTimedOut);
  EXPECT_EQ(repeating.calls, before);
  EXPECT_EQ(defaultOnly.calls, 0);
  EXPECT_GE(common.calls, commonBefore + 5);

  // Invalidated from its own callback at the third call.
  repeating.calls = 0;
  repeating.call = [&] {
    if (repeating.calls == 3) CFRunLoopTimerInvalidate(timer);
  };
  CFRunLoopTimerInvalidate(commonTimer);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false);
  EXPECT_EQ(repeating.calls, 3);
  EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
  const int commonStopped = common.calls;
  CFRunLoopRunInMode(kCFRunLoopCommonModes, 0.05, false);
  EXPECT_EQ(common.calls, commonStopped);
  CFRelease(timer);
  CFRelease(commonTimer);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.02, false);  // lets defaultOnly go
  EXPECT_GT(defaultOnly.calls, 0);
  CFRunLoopTimerInvalidate(defaultTimer);
  // Each test leaves the thread's loop empty for the next.
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false), kCFRunLoopRunFinished);
}

// A source calls back when its descriptor has data, once per enabling:
// unread data does not call again until the callback is re-enabled.
// Invalidating the descriptor removes the source and closes the file.
TEST(RunLoopTest, FileDescriptorSourcesAreOneShotUntilReEnabled) {
  Hook keepAlive;  // the mode must have something to wait for
  CFRunLoopTimerRef timer = AddTimer(&keepAlive, 10);
  {
    PipeSource pipeSource;
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.03, true), kCFRunLoopRunTimedOut);
    EXPECT_EQ(pipeSource.fires, 0);

    pipeSource.Write();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5, true), kCFRunLoopRunHandledSource);
    EXPECT_LT(Seconds(start), 1.0);
    EXPECT_EQ(pipeSource.fires, 1);
    // The byte is still unread, but the callback is spent.
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.03, true), kCFRunLoopRunTimedOut);
    EXPECT_EQ(pipeSource.fires, 1);
    CFFileDescriptorEnableCallBacks(pipeSource.descriptor, kCFFileDescriptorReadCallBack);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.03, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(pipeSource.fires, 2);

    // Re-enabled from the callback, it fires at every pass while data waits.
    pipeSource.reEnable = true;
    CFFileDescriptorEnableCallBacks(pipeSource.descriptor, kCFFileDescriptorReadCallBack);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false);
    EXPECT_EQ(pipeSource.fires, 3);

    CFFileDescriptorInvalidate(pipeSource.descriptor);
    EXPECT_FALSE(CFFileDescriptorIsValid(pipeSource.descriptor));
    EXPECT_FALSE(CFRunLoopSourceIsValid(pipeSource.source));
    CFFileDescriptorEnableCallBacks(pipeSource.descriptor, kCFFileDescriptorReadCallBack);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.02, false);
    EXPECT_EQ(pipeSource.fires, 3);
    EXPECT_EQ(fcntl(pipeSource.fds[0], F_GETFD), -1);  // closed on invalidation
  }
  CFRunLoopTimerInvalidate(timer);
  // With neither timers nor sources the mode has nothing to run.
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1, false), kCFRunLoopRunFinished);
}

// The before-waiting observer runs before the loop sleeps, so input that
// only it can see is handled without waiting (this is how buffered X
// events reach the editor); a non-repeating observer runs once.
TEST(RunLoopTest, ObserversRunBeforeTheLoopWaits) {
  PipeSource pipeSource;
  Hook beforeWaiting, once;
  beforeWaiting.call = [&] {
    if (beforeWaiting.calls == 1) pipeSource.Write();
  };
  CFRunLoopObserverContext context = {0, &beforeWaiting, nullptr, nullptr, nullptr};
  CFRunLoopObserverRef observer =
      CFRunLoopObserverCreate(nullptr, kCFRunLoopBeforeWaiting, true, 0, ObserverHook, &context);
  CFRunLoopAddObserver(CFRunLoopGetCurrent(), observer, kCFRunLoopCommonModes);
  CFRunLoopObserverContext onceContext = {0, &once, nullptr, nullptr, nullptr};
  CFRunLoopObserverRef onceObserver = CFRunLoopObserverCreate(nullptr, kCFRunLoopAllActivities,
                                                              false, 0, ObserverHook, &onceContext);
  CFRunLoopAddObserver(CFRunLoopGetCurrent(), onceObserver, kCFRunLoopDefaultMode);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5, true), kCFRunLoopRunHandledSource);
  EXPECT_LT(Seconds(start), 1.0);
  EXPECT_EQ(pipeSource.fires, 1);
  EXPECT_EQ(beforeWaiting.calls, 1);
  EXPECT_EQ(once.calls, 1);
  EXPECT_FALSE(CFRunLoopObserverIsValid(onceObserver));

  // Even a run that only polls announces that it found nothing to do.
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true);
  EXPECT_EQ(beforeWaiting.calls, 2);
  CFRunLoopObserverInvalidate(observer);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true);
  EXPECT_EQ(beforeWaiting.calls, 2);
  CFRelease(observer);
  CFRelease(onceObserver);
}

// A run started from a timer's callback (a modal menu) keeps the other
// timers firing at their rate, but never re-enters the timer whose
// callback started it; that timer goes on afterwards.
TEST(RunLoopTest, NestedRunKeepsOtherTimersFiringWithoutReentry) {
  Hook outer, inner;
  int depth = 0, deepest = 0, innerDuringNested = 0;
  outer.call = [&] {
    ++depth;
    deepest = std::max(deepest, depth);
    if (outer.calls == 1) {
      const int innerBefore = inner.calls;
      EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false), kCFRunLoopRunTimedOut);
      innerDuringNested = inner.calls - innerBefore;
    }
    --depth;
  };
  CFRunLoopTimerRef outerTimer = AddTimer(&outer, 0.005);
  CFRunLoopTimerRef innerTimer = AddTimer(&inner, 0.02);
  CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.3, false);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(innerDuringNested, 7);
  EXPECT_LE(innerDuringNested, 11);
  EXPECT_GE(outer.calls, 5);  // fired again after the nested run
  CFRunLoopTimerInvalidate(outerTimer);
  CFRunLoopTimerInvalidate(innerTimer);
}

// How runs end: stopped (before the run, from a callback, from another
// thread during a long wait), timed out, finished; and each thread has one
// loop of its own.
TEST(RunLoopTest, RunsEndStoppedTimedOutOrFinished) {
  CFRunLoopRef loop = CFRunLoopGetCurrent();
  EXPECT_EQ(loop, CFRunLoopGetCurrent());
  CFRunLoopRef otherThreads = nullptr;
  std::thread([&] { otherThreads = CFRunLoopGetCurrent(); }).join();
  EXPECT_NE(otherThreads, nullptr);
  EXPECT_NE(otherThreads, loop);

  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.1, false), kCFRunLoopRunFinished);
  Hook idle;
  CFRunLoopTimerRef timer = AddTimer(&idle, 100);
  CFRunLoopStop(loop);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5, false), kCFRunLoopRunStopped);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false), kCFRunLoopRunTimedOut);
  EXPECT_GE(Seconds(start), 0.05);

  std::thread stopper([loop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    CFRunLoopStop(loop);
  });
  start = std::chrono::steady_clock::now();
  CFRunLoopRun();  // returns only when stopped
  EXPECT_LT(Seconds(start), 2.0);
  stopper.join();

  Hook stopping;
  stopping.call = [loop] { CFRunLoopStop(loop); };
  CFRunLoopTimerRef stopTimer = AddTimer(&stopping, 0.01);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5, false), kCFRunLoopRunStopped);
  EXPECT_EQ(stopping.calls, 1);
  CFRunLoopTimerInvalidate(stopTimer);
  CFRunLoopTimerInvalidate(timer);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5, false), kCFRunLoopRunFinished);
}

}  // namespace
