// morvex live against a JACK server of the test's own (jackd's dummy
// backend): audio played into it comes out as morvex render phases it, it
// follows a change of period, stops on a signal or the server's end, and
// opens the editor where there is a display.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on

#include <cmath>
#include <sstream>

#include "tests/support/JackServer.h"
#include "tests/support/XvfbServer.h"
#include "tests/tools/morvex/LiveTestSupport.h"

namespace {

using namespace live_test;

// The first frame where either channel sounds.
size_t FirstSound(const Channels& audio) {
  for (size_t i = 0; i < audio[0].size(); ++i)
    if (audio[0][i] != 0.0f || audio[1][i] != 0.0f) return i;
  return audio[0].size();
}

// The value of a parameter in 'morvex show --raw' (its seventh column).
float RawValue(const std::string& listing, const std::string& name) {
  const size_t line = listing.find("\t" + name + "\t");
  if (line == std::string::npos) return NAN;
  std::istringstream fields(listing.substr(line + 1, listing.find('\n', line) - line - 1));
  std::string field;
  for (int i = 0; i < 6; ++i)
    std::getline(fields, field, '\t');
  return std::stof(field);
}

TEST(MorvexLiveTest, AFilePlayedThroughItComesOutAsRenderPhasesIt) {
  test_support::JackServer server;
  ASSERT_TRUE(server.Running());
  TempDir scratch;
  TestClient feeder("feeder", 0, 2), recorder("recorder", 2, 0);
  // The sweep stands still at Depth 0: where it stood when the file came in
  // is then no matter of how long the effect had been playing before.
  LiveMorvex morvex(scratch, {"--set", "Depth=0", "--connect-in", "feeder", "--connect-out",
                              "recorder", "--save-state", scratch / "live.aupreset"});
  ASSERT_TRUE(morvex.Says("playing live as JACK client 'morvex'")) << morvex.Err();
  EXPECT_NE(morvex.Err().find("$DISPLAY is not set): playing without the editor"),
            std::string::npos)
      << morvex.Err();

  // The server changes its period while morvex plays silence.
  ASSERT_EQ(tool_test::RunProgram("/usr/bin/jack_bufsize", {"128"}, scratch.path()).status, 0);
  EXPECT_TRUE(morvex.Says("following the JACK server: 44100 Hz, 128 frames a period"))
      << morvex.Err();
  std::this_thread::sleep_for(std::chrono::seconds(1));

  const Channels signal = tool_test::Signal(2, kRate, 2.0);
  const size_t frames = signal[0].size();
  const unsigned xrunsBefore = recorder.jack.xruns();
  recorder.tape.Record(frames + kRate);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  feeder.tape.Play(signal, false);
  ASSERT_TRUE(Eventually(10, [&] { return recorder.tape.Recorded() == frames + kRate; }));
  const unsigned xrunsDuringTake = recorder.jack.xruns() - xrunsBefore;
  EXPECT_EQ(recorder.tape.LastPeriod(), 128u);
  morvex.Signal(SIGINT);
  EXPECT_EQ(morvex.Exit(), 0) << morvex.Err();
  EXPECT_NE(morvex.Err().find("played for"), std::string::npos) << morvex.Err();
  const tool_test::Run saved =
      tool_test::Morvex({"show", "--raw", scratch / "live.aupreset"}, scratch);
  EXPECT_EQ(RawValue(saved.out, "Depth"), 0.0f) << saved.out << saved.err;

  // morvex render on the same file after a second of silence, as the live
  // effect had silence before the file came.
  Channels prelude(2, std::vector<float>(kRate, 0.0f));
  for (int c = 0; c < 2; ++c)
    prelude[c].insert(prelude[c].end(), signal[c].begin(), signal[c].end());
  tool_test::WriteAudio(scratch / "in.wav", prelude, kRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const tool_test::Run render = tool_test::Morvex(
      {"render", scratch / "in.wav", scratch / "out.wav", "--set", "Depth=0", "--quiet"}, scratch);
  ASSERT_EQ(render.status, 0) << render.err;
  const Channels rendered = tool_test::ReadAudio(scratch / "out.wav").channels;
  ASSERT_EQ(rendered.size(), 2u);

  const Channels& live = recorder.tape.Recording();
  const size_t liveStart = FirstSound(live), renderStart = FirstSound(rendered);
  ASSERT_EQ(renderStart, static_cast<size_t>(kRate));
  ASSERT_LE(liveStart + frames, live[0].size());
  float worst = 0, phased = 0;
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < frames; ++i) {
      worst = std::max(worst, std::fabs(live[c][liveStart + i] - rendered[c][renderStart + i]));
      phased = std::max(phased, std::fabs(rendered[c][renderStart + i] - signal[c][i]));
    }
  EXPECT_GT(phased, 0.1f);
  // A period some client missed (the machine stalling it) leaves a gap in
  // the recording that no effect could avoid.
  if (worst >= 1e-5f && xrunsDuringTake > 0)
    GTEST_SKIP() << "the live audio differs from the render by " << worst << ", but the server "
                 << "reported " << xrunsDuringTake << " xruns during the take";
  EXPECT_LT(worst, 1e-5f) << "the file came in at frame " << liveStart << " of the recording";
}

// A name given to --connect-in or --connect-out is a port, or a client
// standing for its first ports; a lone port goes with both channels.
TEST(MorvexLiveTest, ItConnectsWhatItIsToldAndEndsWithStatusOneWhenTheServerGoes) {
  TempDir scratch;
  {
    test_support::JackServer server;
    ASSERT_TRUE(server.Running());
    const tool_test::Run surplus = tool_test::Morvex(
        {"live", "--no-editor", "--connect-in", "system,system:capture_1"}, scratch);
    EXPECT_EQ(surplus.status, 1);
    EXPECT_NE(surplus.err.find("3 ports named for 2 inputs"), std::string::npos) << surplus.err;
    LiveMorvex morvex(scratch,
                      {"--no-editor", "--preset", "Twin", "--save-state", scratch / "kept.aupreset",
                       "--connect-in", "system:capture_2", "--connect-out", "system"});
    ASSERT_TRUE(morvex.Says("playing live as JACK client 'morvex'")) << morvex.Err();
    EXPECT_EQ(tool_test::RunProgram("/usr/bin/jack_lsp", {"-c", "morvex"}, scratch.path()).out,
              "morvex:in_1\n   system:capture_2\nmorvex:in_2\n   system:capture_2\n"
              "morvex:out_1\n   system:playback_1\nmorvex:out_2\n   system:playback_2\n");
    server.Stop();
    EXPECT_EQ(morvex.Exit(), 1) << morvex.Err();
    EXPECT_NE(morvex.Err().find("morvex: error: the JACK server went away"), std::string::npos)
        << morvex.Err();
    const tool_test::Run saved = tool_test::Morvex({"show", scratch / "kept.aupreset"}, scratch);
    EXPECT_NE(saved.out.find("Twin"), std::string::npos) << saved.out << saved.err;
  }
  const tool_test::Run none =
      tool_test::Morvex({"live", "--no-editor"}, scratch, {"JACK_DEFAULT_SERVER=morvex-test-none"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err,
            "morvex: error: cannot reach the JACK server 'morvex-test-none': start it first "
            "(jackd, or PipeWire's JACK)\n");
}

// The editor's window, as 'morvex editor' shows it, while the audio plays;
// SIGTERM closes it and the state is saved as when the user closes it.
TEST(MorvexLiveTest, TheEditorOpensWhereThereIsADisplay) {
  test_support::XvfbServer xvfb;
  ASSERT_FALSE(xvfb.Display().empty());
  test_support::JackServer server;
  ASSERT_TRUE(server.Running());
  TempDir scratch;
  LiveMorvex morvex(scratch, {"--set", "Rate=0.8", "--save-state", scratch / "s.aupreset"},
                    {"DISPLAY=" + xvfb.Display()});
  Display* display = XOpenDisplay(xvfb.Display().c_str());
  ASSERT_NE(display, nullptr);
  const auto windowNamed = [&](const char* wanted) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    bool found = false;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      found = XFetchName(display, children[i], &name) && std::string(name) == wanted;
      if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
  };
  EXPECT_TRUE(Eventually(10, [&] { return windowNamed("Morvex"); })) << morvex.Err();
  EXPECT_TRUE(morvex.Says("playing live as JACK client")) << morvex.Err();
  morvex.Signal(SIGTERM);
  EXPECT_EQ(morvex.Exit(), 0) << morvex.Err();
  XCloseDisplay(display);
  const tool_test::Run saved =
      tool_test::Morvex({"show", "--raw", scratch / "s.aupreset"}, scratch);
  EXPECT_FLOAT_EQ(RawValue(saved.out, "Rate"), 0.8f) << saved.out << saved.err;
}

}  // namespace
