// morvex render --tail: silence fed past the input's end, for a given time or
// until the outputs have fallen quiet.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "tests/tools/morvex/ToolTestSupport.h"

using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::TempDir;

namespace {

constexpr int kRate = 44100;
constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

bool QuietFrame(const tool_test::Audio& audio, size_t frame) {
  const float quiet = static_cast<float>(std::pow(10.0, -96.0 / 20));
  for (const auto& channel : audio.channels)
    if (std::fabs(channel[frame]) >= quiet) return false;
  return true;
}

TEST(MorvexTail, OffANumberOfSecondsOrUntilQuiet) {
  TempDir dir;
  const tool_test::Channels in = tool_test::Signal(2, kRate, 0.3);
  const size_t frames = in[0].size();
  tool_test::WriteAudio(dir / "in.wav", in, kRate, kFloatWav);
  // A resonant setting that rings well past the input's abrupt end.
  const std::vector<std::string> ringing = {"--preset", "Twin", "--set", "Feedback=1", "--quiet"};
  auto render = [&](const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", dir / "in.wav", dir / out};
    args.insert(args.end(), ringing.begin(), ringing.end());
    args.insert(args.end(), extra.begin(), extra.end());
    const tool_test::Run run = Morvex(args, dir);
    EXPECT_EQ(run.status, 0) << out << ": " << run.err;
    return ReadAudio(dir / out);
  };

  const tool_test::Audio off = render("off.wav", {});
  ASSERT_EQ(off.channels.size(), 2u);
  EXPECT_EQ(off.channels[0].size(), frames);
  // The input's end is not quiet: there is a tail to keep.
  EXPECT_FALSE(QuietFrame(off, frames - 1));

  const tool_test::Audio fixed = render("fixed.wav", {"--tail", "0.25"});
  ASSERT_EQ(fixed.channels.size(), 2u);
  EXPECT_EQ(fixed.channels[0].size(), frames + kRate / 4);
  // The tail continues the same render: the input's part is unchanged.
  for (size_t i = 0; i < frames; ++i)
    ASSERT_EQ(fixed.channels[1][i], off.channels[1][i]) << i;

  const tool_test::Audio automatic = render("auto.wav", {"--tail", "auto"});
  ASSERT_EQ(automatic.channels.size(), 2u);
  const size_t length = automatic.channels[0].size();
  const size_t quietRun = kRate / 10;
  ASSERT_GT(length, frames + quietRun);
  EXPECT_LE(length, frames + 30u * kRate);
  // It ends with 100 ms below -96 dBFS on both outputs, and not one frame
  // later: the frame before that run is still audible.
  for (size_t i = length - quietRun; i < length; ++i)
    ASSERT_TRUE(QuietFrame(automatic, i)) << i;
  EXPECT_FALSE(QuietFrame(automatic, length - quietRun - 1));
  // It rang audibly for longer than the quiet it waits for.
  EXPECT_GT(length, frames + 2 * quietRun);

  for (const char* bad : {"-1", "601", "forever", "auto5", ""}) {
    const tool_test::Run refused =
        Morvex({"render", dir / "in.wav", dir / "x.wav", "--tail", bad}, dir);
    EXPECT_EQ(refused.status, 2) << bad;
    EXPECT_THAT(refused.err, testing::HasSubstr("--tail " + std::string(bad) + ":")) << bad;
  }
}

}  // namespace
