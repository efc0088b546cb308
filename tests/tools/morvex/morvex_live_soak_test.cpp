// morvex live in real time for thirty seconds, at the period a musician
// playing through it would choose: 64 frames, 1.45 ms at 44.1 kHz.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include "tests/support/JackServer.h"
#include "tests/tools/morvex/LiveTestSupport.h"

namespace {

using namespace live_test;

// The server's and the test clients' work in a period, in ms, with room.
constexpr double kOthersWork = 0.25;
constexpr long kProbeIntervalNs = 200000;

// How late the machine itself wakes a real-time thread, on each processor:
// a thread per processor, pinned to it, sleeps to a deadline every
// kProbeIntervalNs, above JACK's priorities so that no client's work,
// however long, delays it; a stall of the machine's shows as lateness, less
// by up to one interval. A virtual machine whose processors the host takes
// away for longer than a period brings xruns to any client, and to a
// period's work whatever it does.
class WakeUpProbe {
 public:
  WakeUpProbe() {
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned cpu = 0; cpu < processors; ++cpu)
      mThreads.emplace_back([this, cpu] { watch(cpu); });
  }
  ~WakeUpProbe() { stop(); }

  // The latest wake-up seen, in ms.
  double stop() {
    mStop.store(true);
    for (std::thread& thread : mThreads)
      if (thread.joinable()) thread.join();
    return static_cast<double>(mWorstNs.load()) / 1e6;
  }

 private:
  void watch(unsigned cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
    const sched_param priority = {20};
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    while (!mStop.load()) {
      deadline.tv_nsec += kProbeIntervalNs;
      if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_nsec -= 1000000000;
        ++deadline.tv_sec;
      }
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
      timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      const long late =
          (now.tv_sec - deadline.tv_sec) * 1000000000L + now.tv_nsec - deadline.tv_nsec;
      long worst = mWorstNs.load();
      while (late > worst && !mWorstNs.compare_exchange_weak(worst, late)) {
      }
    }
  }

  std::vector<std::thread> mThreads;
  std::atomic<bool> mStop{false};
  std::atomic<long> mWorstNs{0};
};

// Morvex phasing a signal all the while, without an xrun in the server's
// count and its work never running past a period, on a machine that keeps
// real time; on one that does not, what was measured is told and the test
// skipped, for no client could pass there.
TEST(MorvexLiveSoak, ThirtySecondsAt64FramePeriodsWithoutAnXrun) {
  test_support::JackServer server(kRate, 64);
  ASSERT_TRUE(server.Running());
  TempDir scratch;
  TestClient feeder("feeder", 0, 2), recorder("recorder", 2, 0);
  LiveMorvex morvex(scratch, {"--no-editor", "--preset", "Winds", "--connect-in", "feeder",
                              "--connect-out", "recorder"});
  ASSERT_TRUE(morvex.Says("playing live as JACK client 'morvex'")) << morvex.Err();
  feeder.tape.Play(tool_test::Signal(2, kRate, 1.0), true);
  const size_t playedBefore = feeder.tape.Played();
  WakeUpProbe probe;
  std::this_thread::sleep_for(std::chrono::seconds(30));
  const double lateness = probe.stop();
  const size_t played = feeder.tape.Played() - playedBefore;
  EXPECT_EQ(recorder.tape.LastPeriod(), 64u);
  morvex.Signal(SIGTERM);
  ASSERT_EQ(morvex.Exit(), 0) << morvex.Err();

  const std::string err = morvex.Err();
  double longest = 0, period = 0;
  unsigned xruns = 0;
  const size_t summary = err.find("the longest period's work took");
  ASSERT_NE(summary, std::string::npos) << err;
  ASSERT_EQ(std::sscanf(err.c_str() + summary,
                        "the longest period's work took %lf ms of %lf ms; the server reported %u",
                        &longest, &period, &xruns),
            3)
      << err;
  std::printf(
      "the longest period's work: %.2f ms of %.2f ms; %u xruns in all; the machine woke a "
      "real-time thread up to %.2f ms late\n",
      longest, period, xruns, lateness);
  EXPECT_NEAR(period, 1.45, 0.01);
  // What the machine leaves of a period once it has stalled that long and
  // morvex has worked, for the server and the test's two clients.
  const double stall = lateness + static_cast<double>(kProbeIntervalNs) / 1e6;
  if (period - stall - longest < kOthersWork)
    GTEST_SKIP() << "this machine woke a real-time thread " << lateness
                 << " ms late: it keeps no real time at 1.45 ms periods";
  EXPECT_GE(played, static_cast<size_t>(29 * kRate));
  EXPECT_LT(longest, period) << err;
  EXPECT_EQ(xruns, 0u) << err;
}

}  // namespace
