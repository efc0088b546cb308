// The editor's loop contract, held by both realisations: the platform's run
// loop (Audio Unit) and the idle-driven one (LV2 user interface).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "framework/au/RunLoopEventLoop.h"
#include "framework/lv2/IdleEventLoop.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct RunLoopFixture {
  IEventLoop& loop = PlatformRunLoop();
};
struct IdleFixture {
  IdleEventLoop own;
  IEventLoop& loop = own;
};

template <class Fixture>
class EventLoopTest : public ::testing::Test {
 protected:
  // Turns the loop until `done` or `seconds` pass.
  template <class Done>
  void RunUntil(Done done, double seconds = 2.0) {
    const Clock::time_point start = Clock::now();
    while (!done() && SecondsSince(start) < seconds)
      mFixture.loop.RunFor(0.01);
  }
  IEventLoop& Loop() { return mFixture.loop; }

 private:
  Fixture mFixture;
};

using Realisations = ::testing::Types<RunLoopFixture, IdleFixture>;
TYPED_TEST_SUITE(EventLoopTest, Realisations);

// A 20 ms timer fires about every 20 ms, never at once, never inside its
// own callback, and not after it is removed, even by itself.
TYPED_TEST(EventLoopTest, TimersKeepTheirIntervalAndStopWhenRemoved) {
  IEventLoop& loop = this->Loop();
  int fires = 0, depth = 0, deepest = 0;
  const Clock::time_point start = Clock::now();
  int id = 0;
  id = loop.AddTimer(0.02, [&] {
    ++fires;
    ++depth;
    deepest = std::max(deepest, depth);
    loop.RunFor(0.03);  // a nested loop, as a menu runs one
    --depth;
    if (fires == 5) loop.Remove(id);
  });
  ASSERT_NE(id, 0);
  loop.RunFor(0);
  EXPECT_EQ(fires, 0) << "fired before its first interval";
  this->RunUntil([&] { return fires >= 5; });
  EXPECT_EQ(fires, 5);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(SecondsSince(start), 5 * 0.02 - 0.005);
  this->RunUntil([] { return false; }, 0.1);
  EXPECT_EQ(fires, 5) << "fired after removal";
  // With nothing due, a modal wait waits instead of spinning.
  const Clock::time_point before = Clock::now();
  loop.RunFor(0.05);
  EXPECT_GE(SecondsSince(before), 0.04);
  loop.Remove(id);  // a second removal is harmless
}

// A watch hears a pipe when it becomes readable, keeps hearing it until it
// is drained, hears input a reader holds through `buffered`, and nothing
// once removed.
TYPED_TEST(EventLoopTest, WatchesHearReadableAndBufferedInput) {
  IEventLoop& loop = this->Loop();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int calls = 0;
  bool held = false;
  char byte = 0;
  const int id = loop.AddWatch(
      fds[0],
      [&] {
        ++calls;
        if (held) {
          held = false;
        } else {
          ASSERT_EQ(read(fds[0], &byte, 1), 1);
        }
      },
      [&] { return held; });
  ASSERT_NE(id, 0);
  this->RunUntil([] { return false; }, 0.05);
  EXPECT_EQ(calls, 0) << "an empty pipe is not readable";

  ASSERT_EQ(write(fds[1], "x", 1), 1);
  this->RunUntil([&] { return calls == 1; });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(byte, 'x');

  held = true;  // input already read ahead, with the descriptor empty
  this->RunUntil([&] { return !held; });
  EXPECT_FALSE(held);
  EXPECT_EQ(calls, 2);

  loop.Remove(id);
  ASSERT_EQ(write(fds[1], "y", 1), 1);
  this->RunUntil([] { return false; }, 0.05);
  EXPECT_EQ(calls, 2) << "heard after removal";
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
