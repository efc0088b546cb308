// The wrapper's ports as a host drives them: any block size, buffers shared
// between inputs and outputs, control values a host should not send, rates
// no engine runs at, a display output past the range it declares.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "framework/lv2/IPlugLV2.h"
#include "tests/framework/lv2/DirectInstance.h"
#include "tests/framework/lv2/SignalSources.h"
#include "tests/support/ProcessInBlocks.h"

using test_support::ProcessInBlocks;

namespace {

TEST(LV2Ports, AnyBlockSizeAndInPlaceBuffersGiveTheEffectsExactSamples) {
  for (uint32_t layout : {0u, 1u}) {
    const int channels = kLV2Layouts[layout].mChannels;
    const std::vector<float> input = Noise(static_cast<size_t>(channels) * 9000);
    const std::vector<float> expected = DefaultOutput(input, channels);
    for (int block : {1, 7, 1023, 1025, 4097, 9000}) {
      for (bool inPlace : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << channels << " channels, block " << block << (inPlace ? " in place" : ""));
        DirectInstance::Setup setup;
        setup.layout = layout;
        DirectInstance instance(setup);
        ASSERT_TRUE(instance.Made());
        EXPECT_EQ(ProcessInBlocks(instance, input, block, inPlace), expected);
      }
    }
  }
}

// A port holds single precision: its image of the parameter's exact value
// leaves the value alone, a NaN or infinity is no setting at all, and any
// other change applies at the next run.
TEST(LV2Ports, OnlyAChangedFiniteControlValueReachesTheParameter) {
  DirectInstance instance;
  const std::vector<float> silence(2 * 64);
  ProcessInBlocks(instance, silence, 64);
  EXPECT_EQ(instance.Param(LV2TestPlug::kLevel), 1.0 / 3.0);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), INFINITY, -INFINITY}) {
    instance.Control(LV2TestPlug::kLevel) = bad;
    ProcessInBlocks(instance, silence, 64);
    EXPECT_EQ(instance.Param(LV2TestPlug::kLevel), 1.0 / 3.0) << bad;
  }
  instance.Control(LV2TestPlug::kLevel) = 0.25f;
  instance.Control(LV2TestPlug::kSteps) = 2.0f;
  ProcessInBlocks(instance, silence, 64);
  EXPECT_EQ(instance.Param(LV2TestPlug::kLevel), 0.25);
  EXPECT_EQ(instance.Param(LV2TestPlug::kSteps), 2.0);
}

TEST(LV2Ports, RatesNoEngineRunsAtAndLayoutsPastTheLastAreRefused) {
  for (double rate : {double{INFINITY}, double{-INFINITY}, double{NAN}, 0.0, 0.5}) {
    DirectInstance::Setup setup;
    setup.sampleRate = rate;
    EXPECT_FALSE(DirectInstance(setup).Made()) << rate;
  }
  EXPECT_EQ(IPlugLV2::Descriptor(kTestIdentity, kNumLV2Layouts), nullptr);
}

TEST(LV2Ports, TheDisplayOutputStaysInTheRangeItDeclares) {
  DirectInstance instance;
  // A steady 0.03 in: out −0.01, which the meter reads as 0.1.
  ProcessInBlocks(instance, std::vector<float>(2 * 40000, 0.03f), 512);
  EXPECT_NEAR(instance.Meter(), 0.1f, 1e-6f);
  // Louder, the meter would read 1.67: the port says 1.
  ProcessInBlocks(instance, std::vector<float>(2 * 40000, 0.5f), 512);
  EXPECT_EQ(instance.Meter(), 1.0f);
}

}  // namespace
