// morvex live in real time for thirty seconds, at the period a musician
// playing through it would choose: 64 frames, 1.45 ms at 44.1 kHz.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/JackServer.h"
#include "tests/tools/morvex/LiveTestSupport.h"

namespace {

using namespace live_test;

// Morvex phasing a signal all the while, its work never running past a
// period: no xrun of its own. A virtual machine's pauses bring xruns to any
// client at this period, between its periods' work, so the server's count
// is told, not held against morvex.
TEST(MorvexLiveSoak, ThirtySecondsAt64FramePeriodsWithoutAnXrunOfItsOwn) {
  test_support::JackServer server(kRate, 64);
  ASSERT_TRUE(server.Running());
  TempDir scratch;
  TestClient feeder("feeder", 0, 2), recorder("recorder", 2, 0);
  LiveMorvex morvex(scratch, {"--no-editor", "--preset", "Winds", "--connect-in", "feeder",
                              "--connect-out", "recorder"});
  ASSERT_TRUE(morvex.Says("playing live as JACK client 'morvex'")) << morvex.Err();
  feeder.tape.Play(tool_test::Signal(2, kRate, 1.0), true);
  const size_t playedBefore = feeder.tape.Played();
  std::this_thread::sleep_for(std::chrono::seconds(30));
  EXPECT_GE(feeder.tape.Played() - playedBefore, static_cast<size_t>(29 * kRate));
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
  std::printf("the longest period's work: %.2f ms of %.2f ms; %u xruns in all\n", longest, period,
              xruns);
  EXPECT_NEAR(period, 1.45, 0.01);
  EXPECT_LT(longest, period) << err;
}

}  // namespace
