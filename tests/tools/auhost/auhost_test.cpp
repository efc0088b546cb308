// The host library on this build's Morvex.component, as the morvex tool and
// the tests drive it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AUHost.h"
#include "tools/auhost/HostError.h"
#include "tools/auhost/Unit.h"

namespace {

using au_test::Signal;

constexpr UInt32 kChannels = 2;
constexpr UInt32 kMaxFrames = 512;

// The tool's way: the Renderer pulls the input from the caller's channels
// and steps the sample time on its own.
Signal RenderThroughRenderer(const Signal& in, const std::vector<UInt32>& blocks) {
  Unit unit;
  unit.configure(kChannels, 44100.0, kMaxFrames);
  Renderer renderer(unit, kChannels);
  unit.initialize();
  Signal out(kChannels, std::vector<float>(in[0].size()));
  size_t done = 0;
  for (size_t b = 0; done < in[0].size(); ++b) {
    const UInt32 frames =
        std::min<UInt32>(blocks[b % blocks.size()], static_cast<UInt32>(in[0].size() - done));
    const float* from[kChannels] = {in[0].data() + done, in[1].data() + done};
    float* to[kChannels] = {out[0].data() + done, out[1].data() + done};
    EXPECT_EQ(renderer.render(from, to, frames), noErr);
    done += frames;
  }
  EXPECT_EQ(renderer.sampleTime(), static_cast<double>(in[0].size()));
  return out;
}

TEST(AUHostRenderer, SoundsAsBareRenderCallsWhateverTheBlockSplit) {
  const Signal in = au_test::Noise(kChannels, 5000);

  ScopedAudioUnit bare;
  ASSERT_NE(static_cast<AudioUnit>(bare), nullptr);
  au_test::Prepare(bare, kChannels, kMaxFrames);
  MemorySource source{in};
  ASSERT_EQ(source.attach(bare), noErr);
  const Signal expected = au_test::Process(bare, &source, {kMaxFrames});
  EXPECT_GT(source.pulls, 0);

  EXPECT_EQ(RenderThroughRenderer(in, {kMaxFrames}), expected);
  EXPECT_EQ(RenderThroughRenderer(in, {1, 37, kMaxFrames, 100, 3}), expected);
}

TEST(AUHostUnit, FailuresNameTheCallAndTheStatusAsAUserReadsThem) {
  Unit unit;
  try {
    unit.set<UInt32>(9999, kAudioUnitScope_Global, 0, 1);
    ADD_FAILURE() << "an unknown property was accepted";
  } catch (const HostError& error) {
    EXPECT_STREQ(error.what(),
                 "Morvex refused setting property 9999: -10879 (kAudioUnitErr_InvalidProperty)");
  }
  EXPECT_EQ(FourCharCodeText(0x61756678), "aufx");
  EXPECT_EQ(FourCharCodeText(0x61750166), "au\\x01f");
  EXPECT_EQ(StatusText(12345), "12345");
}

}  // namespace
