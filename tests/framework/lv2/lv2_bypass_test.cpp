// The bypass behind the lv2:enabled port: bit-exact when disabled, never a
// click when switched, and the effect back as if never bypassed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/lv2/LV2Bypass.h"
#include "tests/framework/lv2/DirectInstance.h"
#include "tests/framework/lv2/SignalSources.h"
#include "tests/support/ProcessInBlocks.h"

using test_support::ProcessInBlocks;

namespace {

TEST(LV2Bypass, DisabledIsABitExactPassthrough) {
  const std::vector<float> input = Noise(2 * 5000);
  for (int block : {1, 64, 4097}) {
    for (bool inPlace : {false, true}) {
      SCOPED_TRACE(testing::Message() << "block " << block << (inPlace ? " in place" : ""));
      DirectInstance::Setup setup;
      setup.enabled = false;
      DirectInstance instance(setup);
      EXPECT_EQ(ProcessInBlocks(instance, input, block, inPlace), input);
    }
  }
}

// Switching mid-render crossfades over 20 ms: with a sine in, no step of the
// output is larger than the largest of the input's and the effect's own;
// halfway through a fade the output is neither; once faded out it is the
// input exactly, and the effect, which kept running, comes back with the
// very samples an instance never bypassed gives.
TEST(LV2Bypass, TogglingMidRenderNeverClicks) {
  constexpr int kBlock = 64, kFrames = kBlock * 344;  // half a second
  const std::vector<float> sine = StereoSine(kFrames);
  DirectInstance plain;
  const std::vector<float> effect = ProcessInBlocks(plain, sine, kBlock);
  DirectInstance instance;
  constexpr int kOffAt = 64 * 64, kOnAt = 64 * 192;  // frames, on block edges
  std::vector<float> out;
  for (int f = 0; f < kFrames; f += kBlock) {
    instance.Enabled() = f >= kOffAt && f < kOnAt ? 0.0f : 1.0f;
    const std::vector<float> chunk(sine.begin() + 2 * f, sine.begin() + 2 * (f + kBlock));
    const std::vector<float> done = ProcessInBlocks(instance, chunk, kBlock);
    out.insert(out.end(), done.begin(), done.end());
  }
  const auto largestStep = [](const std::vector<float>& x) {
    float largest = 0.0f;
    for (size_t i = 2; i < x.size(); ++i)
      largest = std::max(largest, std::fabs(x[i] - x[i - 2]));
    return largest;
  };
  EXPECT_LE(largestStep(out), std::max(largestStep(sine), largestStep(effect)) * 1.05f);
  const int fade = static_cast<int>(LV2Bypass::kFadeSeconds * 44100.0);
  const size_t half = 2 * static_cast<size_t>(kOffAt + fade / 2);
  EXPECT_NE(out[half], sine[half]);
  EXPECT_NE(out[half], effect[half]);
  for (size_t i = 2 * static_cast<size_t>(kOffAt + fade + 1); i < 2 * static_cast<size_t>(kOnAt);
       ++i)
    ASSERT_EQ(out[i], sine[i]) << i;
  for (size_t i = 2 * static_cast<size_t>(kOnAt + fade + 1); i < out.size(); ++i)
    ASSERT_EQ(out[i], effect[i]) << i;
}

}  // namespace
