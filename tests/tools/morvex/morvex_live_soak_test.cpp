// morvex live in real time for thirty seconds, at the period a musician
// playing through it would choose: 64 frames, 1.45 ms at 44.1 kHz.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tests/support/JackServer.h"
#include "tests/tools/morvex/LiveTestSupport.h"

namespace {

using namespace live_test;

// What the server's log puts each xrun down to: its own timer waking late,
// or a client not finished when the next period came, either still running
// its process callback or triggered and never given the processor. Only the
// first is the client's own doing; the others are the machine's.
struct XrunCauses {
  unsigned morvexRunning = 0;
  unsigned explained = 0;
};

XrunCauses CausesIn(const std::string& log) {
  XrunCauses causes;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("JackEngine::XRun: client = morvex was not finished, state = Running", 0) == 0)
      ++causes.morvexRunning;
    if (line.rfind("JackEngine::XRun: client = ", 0) == 0 ||
        line.rfind("JackTimedDriver::Process XRun", 0) == 0)
      ++causes.explained;
  }
  return causes;
}

// Morvex phasing a signal all the while, without an xrun of its own in the
// server's count. A virtual machine's pauses bring xruns to any client at
// this period, its timer's and its clients' alike; each xrun the server
// reports must be one its log explains, and none may find morvex still
// running its period's work.
TEST(MorvexLiveSoak, ThirtySecondsAt64FramePeriodsWithoutAnXrun) {
  TempDir scratch;
  test_support::JackServer server(kRate, 64, scratch / "jackd.log");
  const auto Log = [&] { return tool_test::Slurp(scratch / "jackd.log"); };
  ASSERT_TRUE(server.Running());
  TestClient feeder("feeder", 0, 2), recorder("recorder", 2, 0);
  LiveMorvex morvex(scratch, {"--no-editor", "--preset", "Winds", "--connect-in", "feeder",
                              "--connect-out", "recorder"});
  ASSERT_TRUE(morvex.Says("playing live as JACK client 'morvex'")) << morvex.Err();
  feeder.tape.Play(tool_test::Signal(2, kRate, 1.0), true);
  // The connections being made are the server's business, not the effect's.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const unsigned before = recorder.jack.xruns();
  const size_t playedBefore = feeder.tape.Played(), logBefore = Log().size();
  std::this_thread::sleep_for(std::chrono::seconds(30));
  const unsigned xruns = recorder.jack.xruns() - before;
  const std::string log = Log().substr(logBefore);
  const XrunCauses causes = CausesIn(log);
  std::printf("%u xruns in 30 s, %u of them morvex's own\n", xruns, causes.morvexRunning);
  EXPECT_EQ(causes.morvexRunning, 0u) << log;
  EXPECT_LE(xruns, causes.explained) << "the server gave no cause for some:\n" << log;
  EXPECT_GE(feeder.tape.Played() - playedBefore, static_cast<size_t>(29 * kRate));
  EXPECT_EQ(recorder.tape.LastPeriod(), 64u);
  morvex.Signal(SIGTERM);
  EXPECT_EQ(morvex.Exit(), 0) << morvex.Err();
}

}  // namespace
