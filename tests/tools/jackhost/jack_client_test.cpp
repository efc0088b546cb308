// A JackClient whose server goes away while the audio thread is busy in its
// processor: the client tells why it ended, and closing it neither hangs,
// nor aborts, nor leaves the processor running on what is destroyed.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "tests/support/JackServer.h"
#include "tools/jackhost/JackClient.h"

namespace {

using Clock = std::chrono::steady_clock;

// Works through many periods on each call, so that whatever ends the
// stream finds the audio thread inside it.
class SlowProcessor : public JackProcessor {
 public:
  void process(const float* const*, float* const*, uint32_t) noexcept override {
    mInside.store(true);
    const auto until = Clock::now() + std::chrono::milliseconds(30);
    while (Clock::now() < until) {
    }
    mCalls.fetch_add(1);
    mInside.store(false);
  }
  void prepare(double, uint32_t) override {}

  std::atomic<bool> mInside{false};
  std::atomic<int> mCalls{0};
};

bool Readable(int descriptor, int milliseconds) {
  pollfd watched{descriptor, POLLIN, 0};
  return poll(&watched, 1, milliseconds) == 1;
}

// One server to a process: a client whose server went away stays open for
// the process's end, and libjack cancels its threads when the next opens.
TEST(JackClientTest, ItClosesCleanlyWhenTheServerGoesInTheMiddleOfAPeriod) {
  test_support::JackServer server;
  ASSERT_TRUE(server.Running());
  SlowProcessor processor;
  auto client = std::make_unique<JackClient>("slow", 2, 2, processor);
  client->activate();
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (processor.mCalls.load() < 2 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GE(processor.mCalls.load(), 2);

  server.Stop();
  ASSERT_TRUE(Readable(client->endedDescriptor(), 5000));
  EXPECT_EQ(client->endReason().rfind("the JACK server went away", 0), 0u) << client->endReason();
  // A close that hangs would hang the suite: it is given five seconds.
  auto closed = std::async(std::launch::async, [&] { client.reset(); });
  if (closed.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    std::fprintf(stderr, "closing the client of a server gone away hung\n");
    std::_Exit(1);
  }
  EXPECT_FALSE(processor.mInside.load()) << "the processor still ran after its client closed";
}

}  // namespace
