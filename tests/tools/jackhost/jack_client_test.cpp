// The JACK client of tools/jackhost on a dummy server of the test's own:
// which ports a name connects, and a processor that cannot follow the
// server's new period ending the client.
#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <stdexcept>

#include "tests/support/JackServer.h"
#include "tools/jackhost/JackClient.h"

namespace {

// Copies its inputs to its outputs; refuses periods longer than `longest`.
class Passthrough : public JackProcessor {
 public:
  explicit Passthrough(uint32_t longest = 8192) : mLongest(longest) {}
  void process(const float* const* in, float* const* out, uint32_t frames) noexcept override {
    for (int c = 0; c < 2; ++c)
      std::copy_n(in[c], frames, out[c]);
  }
  void prepare(double, uint32_t maxFrames) override {
    if (maxFrames > mLongest) throw std::runtime_error("periods too long");
  }

 private:
  uint32_t mLongest;
};

// What the server says a port is connected to, asked as another client would.
class Observer {
 public:
  Observer() : mClient(jack_client_open("observer", JackNoStartServer, nullptr)) {}
  ~Observer() {
    if (mClient) jack_client_close(mClient);
  }
  bool Connected(const char* port, const char* other) const {
    jack_port_t* found = jack_port_by_name(mClient, port);
    return found && jack_port_connected_to(found, other);
  }
  jack_client_t* Jack() const { return mClient; }

 private:
  jack_client_t* mClient;
};

std::string ConnectError(JackClient& client, const std::vector<std::string>& names, bool inputs) {
  try {
    inputs ? client.connectInputs(names) : client.connectOutputs(names);
  } catch (const JackError& error) {
    return error.what();
  }
  return "";
}

TEST(JackClientTest, ANameIsAPortOrAClientsFirstPortsAndALonePortGoesWithEveryChannel) {
  test_support::JackServer server;
  ASSERT_TRUE(server.Running());
  Passthrough processor;
  JackClient client("pass", 2, 2, processor);
  client.activate();
  const Observer observer;
  client.connectInputs({"system:capture_2"});
  EXPECT_TRUE(observer.Connected("pass:in_1", "system:capture_2"));
  EXPECT_TRUE(observer.Connected("pass:in_2", "system:capture_2"));
  client.connectOutputs({"system"});
  EXPECT_TRUE(observer.Connected("pass:out_1", "system:playback_1"));
  EXPECT_TRUE(observer.Connected("pass:out_2", "system:playback_2"));
  EXPECT_FALSE(observer.Connected("pass:out_1", "system:playback_2"));
  // Connecting again what is connected is no mistake.
  EXPECT_EQ(ConnectError(client, {"system"}, false), "");

  EXPECT_EQ(ConnectError(client, {"system:playback_1"}, true),
            "the JACK server has no audio output port 'system:playback_1'");
  EXPECT_EQ(ConnectError(client, {"ghost"}, true),
            "no JACK client 'ghost' with audio output ports");
  EXPECT_EQ(ConnectError(client, {"system", "system:capture_1"}, true),
            "3 ports named for 2 inputs");
}

TEST(JackClientTest, AProcessorThatCannotFollowANewPeriodEndsTheClient) {
  test_support::JackServer server;
  ASSERT_TRUE(server.Running());
  Passthrough processor(128);
  JackClient client("short", 2, 2, processor);
  client.activate();
  const Observer observer;
  EXPECT_EQ(client.endReason(), "");
  ASSERT_EQ(jack_set_buffer_size(observer.Jack(), 256), 0);
  pollfd ended = {client.endedDescriptor(), POLLIN, 0};
  ASSERT_EQ(poll(&ended, 1, 5000), 1);
  EXPECT_EQ(client.endReason(), "cannot follow the server's new stream (periods too long)");
}

}  // namespace
