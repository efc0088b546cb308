// morvex render with values in a listener's units and with parameters moving
// over time, end to end through the real component.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tools/morvex/ToolTestSupport.h"

using testing::HasSubstr;
using tool_test::Audio;
using tool_test::Channels;
using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::Signal;
using tool_test::TempDir;
using tool_test::WriteAudio;

namespace {

constexpr int kRate = 44100;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

Channels Sine(double hz, double seconds) {
  Channels sine(2, std::vector<float>(static_cast<size_t>(kRate * seconds)));
  for (auto& channel : sine)
    for (size_t i = 0; i < channel.size(); ++i)
      channel[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * hz * double(i) / kRate));
  return sine;
}

// Renders in.wav into a fresh out.wav with the given options.
Audio Render(const TempDir& dir, const std::vector<std::string>& options) {
  std::vector<std::string> args = {"render", dir / "in.wav", dir / "out.wav", "--quiet"};
  args.insert(args.end(), options.begin(), options.end());
  unlink((dir / "out.wav").c_str());
  const auto run = Morvex(args, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  return ReadAudio(dir / "out.wav");
}

// Times at which a sine's envelope, in 10 ms windows, falls through half its
// height: each is the sweep taking a notch across the tone.
std::vector<double> NotchPasses(const std::vector<float>& samples) {
  const size_t window = kRate / 100;
  std::vector<float> envelope;
  for (size_t at = 0; at + window <= samples.size(); at += window) {
    float peak = 0;
    for (size_t i = at; i < at + window; ++i)
      peak = std::max(peak, std::fabs(samples[i]));
    envelope.push_back(peak);
  }
  const float half = *std::max_element(envelope.begin(), envelope.end()) / 2;
  std::vector<double> passes;
  for (size_t k = 1; k < envelope.size(); ++k)
    if (envelope[k] < half && envelope[k - 1] >= half)
      passes.push_back(static_cast<double>(k * window) / kRate);
  return passes;
}

long Between(const std::vector<double>& times, double from, double to) {
  return std::count_if(times.begin(), times.end(), [&](double t) { return t >= from && t < to; });
}

TEST(MorvexUnits, SetTakesAListenersUnitsAndNamesWhatItApproached) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, kRate, 0.5), kRate, kWavFloat);
  const auto approached = Morvex({"render", dir / "in.wav", dir / "a.wav", "--set", "Rate=2s",
                                  "--set", "Stages=2sections", "--set", "Mix=30%wet"},
                                 dir);
  ASSERT_EQ(approached.status, 0) << approached.err;
  EXPECT_THAT(approached.err, HasSubstr("--set Rate=2s: Rate 0.49 is the nearest: one sweep in "
                                        "2.04 s"));
  // Units are only a way of naming the parameters' own values.
  EXPECT_EQ(Render(dir, {"--set", "Rate=2s", "--set", "Stages=2sections"}).channels,
            Render(dir, {"--set", "Rate=0.49", "--set", "Stages=1"}).channels);
  const auto same = Morvex({"render", dir / "in.wav", dir / "c.wav", "--set", "Rate=0.5Hz", "--set",
                            "Stages=2 sections", "--set", "Mix=70%dry"},
                           dir);
  ASSERT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(ReadAudio(dir / "c.wav").channels, ReadAudio(dir / "a.wav").channels);

  const auto wrong = Morvex({"render", dir / "in.wav", dir / "d.wav", "--set", "Mix=30%"}, dir);
  EXPECT_EQ(wrong.status, 2);
  EXPECT_THAT(wrong.err, HasSubstr("'30%' is not a value of Mix (a number from 0 to 1, or as "
                                   "30%wet, 70%dry)"));
  EXPECT_NE(access((dir / "d.wav").c_str(), F_OK), 0);

  const auto params = Morvex({"params", "--sample-rate", "22050"}, dir);
  ASSERT_EQ(params.status, 0) << params.err;
  EXPECT_THAT(params.out, HasSubstr("dry 50% / wet 50%"));
  EXPECT_THAT(params.out, HasSubstr("one sweep in 7.22 s"));
  EXPECT_THAT(params.out, HasSubstr("(the sweep's frequencies are the same at every sample rate, "
                                    "but at 22050 Hz the top is held at 10.8 kHz)"));
}

TEST(MorvexAutomation, AJumpLandsOnItsFrameWhateverTheBlockSize) {
  TempDir dir;
  const Channels in = Signal(2, kRate, 1.5);
  WriteAudio(dir / "in.wav", in, kRate, kWavFloat);
  for (const char* block : {"512", "4096", "1"}) {
    // Mix 0 passes the input untouched; at 1 s it turns fully wet.
    const Audio out = Render(dir, {"--block", block, "--automate", "Mix=0:0,1:0,1:1"});
    ASSERT_EQ(out.channels.size(), 2u);
    const auto differs = std::mismatch(in[0].begin(), in[0].end(), out.channels[0].begin());
    EXPECT_EQ(differs.first - in[0].begin(), kRate) << "block " << block;
  }
}

TEST(MorvexAutomation, ARateRampSpeedsTheSweepUp) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Sine(1000, 6), kRate, kWavFloat);
  const std::vector<double> steady = NotchPasses(Render(dir, {"--set", "Rate=0.5"}).channels[1]);
  const std::vector<double> ramp =
      NotchPasses(Render(dir, {"--automate", "Rate=0:0.5,6:0.75"}).channels[1]);
  EXPECT_LE(std::labs(Between(steady, 4, 6) - Between(steady, 0, 2)), 2);
  EXPECT_GE(Between(ramp, 4, 6), 2 * Between(ramp, 0, 2));
  EXPECT_GE(Between(ramp, 0, 2), 6);
}

TEST(MorvexAutomation, APointIsASettingAndMistakesAreUsageErrors) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, kRate, 0.5), kRate, kWavFloat);
  EXPECT_EQ(Render(dir, {"--automate", "Feedback=0.2:-40%"}).channels,
            Render(dir, {"--set", "Feedback=-40%"}).channels);
  for (const char* envelope : {"Feedback=1:0.2,0.5:0.3", "Feedback=0.2", "Feedback=x:0.2",
                               "Feedback=-1:0.2", "Flange=0:1", "Feedback=0:2", "=0:1"}) {
    const auto run =
        Morvex({"render", dir / "in.wav", dir / "bad.wav", "--automate", envelope}, dir);
    EXPECT_EQ(run.status, 2) << envelope;
    EXPECT_THAT(run.err, HasSubstr(std::string("--automate ") + envelope)) << envelope;
    EXPECT_NE(access((dir / "bad.wav").c_str(), F_OK), 0) << envelope;
  }
  const auto twice = Morvex(
      {"render", dir / "in.wav", dir / "bad.wav", "--automate", "Mix=0:0", "--automate", "mix=1:1"},
      dir);
  EXPECT_EQ(twice.status, 2);
  EXPECT_THAT(twice.err, HasSubstr("Mix is automated twice"));
}

}  // namespace
