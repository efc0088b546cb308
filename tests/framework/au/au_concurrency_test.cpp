// Rendering through the fast-dispatch render function, which takes no lock,
// while another thread sets parameters both ways a host can.
#include <atomic>
#include <cmath>
#include <thread>

#include "tests/framework/au/AUHost.h"

using namespace au_test;

TEST(AUConcurrencyTest, FastRenderWhileParametersChange) {
  Unit unit;
  Source source{Noise(2, 256 * 200, 8)};
  Prepare(unit, 2, 256);
  ASSERT_EQ(source.Attach(unit), noErr);
  void* storage = GetComponentInstanceStorage(unit);
  AudioUnitRenderProc render = nullptr;
  AudioUnitSetParameterProc setParam = nullptr;
  UInt32 size = sizeof render;
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                 kAudioUnitRenderSelect, &render, &size),
            noErr);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                 kAudioUnitSetParameterSelect, &setParam, &size),
            noErr);

  std::atomic<bool> done{false};
  std::thread setter([&] {
    for (int i = 0; !done.load(); ++i) {
      const UInt32 id = static_cast<UInt32>(i % kNumParams);
      const float value = static_cast<float>((i * 37) % 101) / 100.0f;
      const OSStatus status =
          i % 2 ? setParam(storage, id, kAudioUnitScope_Global, 0, value, 0)
                : AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, value, 0);
      ASSERT_EQ(status, noErr);
    }
  });
  Buffers out(2, 256);
  bool finite = true;
  for (int block = 0; block < 200; ++block) {
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp stamp = Stamp(256.0 * block);
    ASSERT_EQ(render(storage, &flags, &stamp, 0, 256, out.list()), noErr);
    for (UInt32 c = 0; c < 2; ++c) {
      for (float sample : out.samples(c))
        finite = finite && std::isfinite(sample) && std::fabs(sample) <= 1.0f;
    }
  }
  done = true;
  setter.join();
  EXPECT_TRUE(finite);
  EXPECT_EQ(source.pulls, 200);
}
