// morvex render --gain: the input's level before the effect, and the gain
// the clipping warning suggests.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/tools/morvex/ToolTestSupport.h"

using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::TempDir;

namespace {

float Peak(const tool_test::Audio& audio) {
  float peak = 0;
  for (const auto& channel : audio.channels)
    for (float sample : channel)
      peak = std::max(peak, std::fabs(sample));
  return peak;
}

// The effect is linear below its clamp, so a gain before it scales the
// output by the same factor, sample for sample.
TEST(MorvexGain, ScalesTheInputBeforeTheEffect) {
  TempDir dir;
  tool_test::WriteAudio(dir / "in.wav", tool_test::Signal(2, 44100, 0.3), 44100,
                        SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const auto plain = Morvex({"render", dir / "in.wav", dir / "plain.wav", "--quiet"}, dir);
  ASSERT_EQ(plain.status, 0) << plain.err;
  const auto half =
      Morvex({"render", dir / "in.wav", dir / "half.wav", "--gain", "-6.0206", "--quiet"}, dir);
  ASSERT_EQ(half.status, 0) << half.err;
  const tool_test::Audio a = ReadAudio(dir / "plain.wav"), b = ReadAudio(dir / "half.wav");
  ASSERT_EQ(a.channels.size(), b.channels.size());
  ASSERT_GT(Peak(a), 0.05f);
  float worst = 0;
  for (size_t c = 0; c < a.channels.size(); ++c)
    for (size_t i = 0; i < a.channels[c].size(); ++i)
      worst = std::max(worst, std::fabs(b.channels[c][i] - 0.5f * a.channels[c][i]));
  EXPECT_LT(worst, 1e-5f);

  for (const char* bad : {"loud", "-6dB", "inf", "nan", "61", "-121", "", "1e2", "--3"}) {
    const auto refused = Morvex({"render", dir / "in.wav", dir / "bad.wav", "--gain", bad}, dir);
    EXPECT_EQ(refused.status, 2) << bad;
    EXPECT_THAT(refused.err, testing::HasSubstr("--gain " + std::string(bad) + ":")) << bad;
  }
}

// A hot input through a resonant preset clips; the warning names a gain in
// place of the one given, and that gain renders without a clipped sample,
// close to full scale.
TEST(MorvexGain, TheClippingWarningSuggestsAGainThatAvoidsIt) {
  TempDir dir;
  tool_test::Channels hot = tool_test::Signal(2, 44100, 0.5);
  for (auto& channel : hot)
    for (float& sample : channel)
      sample *= 1.5f;
  tool_test::WriteAudio(dir / "hot.wav", hot, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  for (const std::string& in : {dir / "hot.wav", std::string("-")}) {
    const auto clipped =
        in == "-"
            ? tool_test::RunProgram("/bin/sh",
                                    {"-c", std::string(MORVEX_TOOL) + " render - " + dir / "a.wav" +
                                               " --preset Twin --gain 6 < " + dir / "hot.wav"},
                                    dir.path())
            : Morvex({"render", in, dir / "a.wav", "--preset", "Twin", "--gain", "6"}, dir);
    ASSERT_EQ(clipped.status, 0) << clipped.err;
    // Parsed by hand: GCC's sanitizer build warns inside std::regex.
    const std::string clippedNote = " samples reached full scale (clipped); --gain ";
    const size_t note = clipped.err.find(clippedNote);
    const size_t end = clipped.err.find(" would avoid it\n", note);
    ASSERT_NE(note, std::string::npos) << in << ": " << clipped.err;
    ASSERT_NE(end, std::string::npos) << in << ": " << clipped.err;
    EXPECT_NE(clipped.err.rfind("warning: ", note), std::string::npos) << clipped.err;
    const std::string gain =
        clipped.err.substr(note + clippedNote.size(), end - note - clippedNote.size());
    ASSERT_FALSE(gain.empty());
    ASSERT_EQ(gain[0], '-') << gain;
    ASSERT_EQ(gain.find_first_not_of("-0123456789."), std::string::npos) << gain;
    ASSERT_EQ(gain.size() - gain.find('.'), 2u) << gain;  // tenths
    const auto clean =
        Morvex({"render", dir / "hot.wav", dir / "b.wav", "--preset", "Twin", "--gain", gain}, dir);
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_THAT(clean.err, testing::HasSubstr(", 0 clipped,")) << gain;
    EXPECT_THAT(clean.err, testing::Not(testing::HasSubstr("warning"))) << gain;
    const float peak = Peak(ReadAudio(dir / "b.wav"));
    EXPECT_LT(peak, 1.0f);
    // Not a gain far lower than needed: within half a decibel of full scale.
    EXPECT_GT(peak, std::pow(10.0f, -0.5f / 20)) << gain;
  }
}

}  // namespace
