// Rendering through the fast-dispatch render function, which takes no lock,
// while another thread sets parameters both ways a host can, or reconfigures
// everything else the render reads.
#include <atomic>
#include <cmath>
#include <thread>

#include "tests/support/AUHost.h"

using namespace au_test;

TEST(AUConcurrencyTest, FastRenderWhileParametersChange) {
  ScopedAudioUnit unit;
  MemorySource source{Noise(2, 256 * 200, 8)};
  Prepare(unit, 2, 256);
  ASSERT_EQ(source.attach(unit), noErr);
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
  BufferList out(2, 256);
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

namespace {
std::atomic<int> gNotified{0};
OSStatus CountNotification(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                           UInt32, AudioBufferList*) {
  ++gNotified;
  return noErr;
}
void IgnoreChange(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}
OSStatus Tempo(void*, Float64* beat, Float64* tempo) {
  *beat = 1.0;
  *tempo = 90.0;
  return noErr;
}
}  // namespace

// The host toggles bypass, adds and removes listeners and notifiers, moves
// the input between another unit and a callback, sets formats (some of them
// refused), host callbacks, the sample rate and the block size while the
// render runs. A rate, block size or format change that meets a render is
// refused on one side or the other; everything else succeeds, and what
// renders is in range.
TEST(AUConcurrencyTest, FastRenderWhileTheHostReconfigures) {
  constexpr int kBlocks = 300;
  ScopedAudioUnit unit, upstream;
  MemorySource source{Noise(2, 256 * kBlocks, 9)};
  Prepare(unit, 2, 256);
  Prepare(upstream, 2, 256);
  ASSERT_EQ(source.attach(upstream), noErr);
  ASSERT_EQ(source.attach(unit), noErr);
  void* storage = GetComponentInstanceStorage(unit);
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof render;
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                 kAudioUnitRenderSelect, &render, &size),
            noErr);

  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::thread host([&] {
    const auto expect = [&](OSStatus status, OSStatus expected) {
      if (status != expected) ++failures;
    };
    constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input;
    const auto refusedWhileRendering = [&](OSStatus status) {
      if (status != noErr && status != kAudioUnitErr_CannotDoInCurrentContext) ++failures;
    };
    for (int i = 0; !done.load(); ++i) {
      const bool on = (i / 10) % 2 != 0;
      switch (i % 10) {
        case 0: {
          const UInt32 bypass = on;
          expect(AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, G, 0, &bypass,
                                      sizeof bypass),
                 noErr);
          break;
        }
        case 1:
          expect(on ? AudioUnitAddRenderNotify(unit, CountNotification, nullptr)
                    : AudioUnitRemoveRenderNotify(unit, CountNotification, nullptr),
                 noErr);
          break;
        case 2:
          expect(on ? AudioUnitAddPropertyListener(unit, kAudioUnitProperty_StreamFormat,
                                                   IgnoreChange, nullptr)
                    : AudioUnitRemovePropertyListener(unit, kAudioUnitProperty_StreamFormat,
                                                      IgnoreChange),
                 noErr);
          break;
        case 3:
          if (on) {
            AudioUnitConnection connection = {upstream, 0, 0};
            expect(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                        sizeof connection),
                   noErr);
          } else {
            expect(source.attach(unit), noErr);
          }
          break;
        case 4:
          refusedWhileRendering(SetFormat(unit, I, 0, 2));
          refusedWhileRendering(SetFormat(unit, kAudioUnitScope_Output, 0, 2));
          break;
        case 5:
          expect(SetFormat(unit, kAudioUnitScope_Output, 0, 3), kAudioUnitErr_InvalidProperty);
          expect(SetFormat(unit, I, 0, 2, 0.0), kAudioUnitErr_FormatNotSupported);
          break;
        case 6: {
          HostCallbackInfo callbacks = {nullptr, on ? Tempo : nullptr, nullptr, nullptr};
          expect(AudioUnitSetProperty(unit, kAudioUnitProperty_HostCallbacks, G, 0, &callbacks,
                                      sizeof callbacks),
                 noErr);
          break;
        }
        case 7:
          expect(AudioUnitReset(unit, G, 0), noErr);
          break;
        case 8: {
          const Float64 rate = 44100.0;  // rewritten and the effect reset all the same
          refusedWhileRendering(
              AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, G, 0, &rate, sizeof rate));
          break;
        }
        case 9: {
          const UInt32 frames = on ? 512 : 256;
          refusedWhileRendering(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                                                     G, 0, &frames, sizeof frames));
          break;
        }
      }
    }
  });
  BufferList out(2, 256);
  bool inRange = true;
  int rendered = 0;
  // Renders that meet a reconfiguration are refused, and on a loaded machine
  // many in a row may be: attempts go on until enough blocks got through.
  for (int attempt = 0; rendered < kBlocks && attempt < 1000 * kBlocks; ++attempt) {
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp stamp = Stamp(256.0 * (attempt % kBlocks));
    const OSStatus status = render(storage, &flags, &stamp, 0, 256, out.list());
    if (status == kAudioUnitErr_CannotDoInCurrentContext) {
      std::this_thread::yield();
      continue;
    }
    ASSERT_EQ(status, noErr) << attempt;
    ++rendered;
    for (UInt32 c = 0; c < 2; ++c) {
      for (float sample : out.samples(c))
        inRange = inRange && std::isfinite(sample) && std::fabs(sample) <= 1.0f;
    }
  }
  done = true;
  host.join();
  EXPECT_TRUE(inRange);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(rendered, kBlocks);
}
