// Closing units while they, or units they feed, are still in use: through
// their own callbacks, and upstream of a unit that keeps rendering. Run
// under AddressSanitizer, these read no freed memory.
#include <algorithm>

#include "tests/support/AUHost.h"

using namespace au_test;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input;

AudioUnitRenderProc FastRender(AudioUnit unit) {
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof render;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, G, kAudioUnitRenderSelect,
                                 &render, &size),
            noErr);
  return render;
}

// Closes the unit it feeds, then fills the buffers as a source would.
OSStatus CloseWhileFeeding(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                           UInt32 frames, AudioBufferList* list) {
  EXPECT_EQ(CloseComponent(static_cast<AudioUnit>(refCon)), noErr);
  for (UInt32 c = 0; c < list->mNumberBuffers; ++c)
    std::fill_n(static_cast<float*>(list->mBuffers[c].mData), frames, 0.25f);
  return noErr;
}

void CloseOnChange(void*, AudioUnit unit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
  EXPECT_EQ(CloseComponent(unit), noErr);
}

bool Silent(BufferList& buffers, UInt32 frames) {
  for (UInt32 c = 0; c < 2; ++c) {
    const auto* samples = static_cast<const float*>(buffers.buffer(c).mData);
    if (std::any_of(samples, samples + frames, [](float s) { return s != 0.0f; })) return false;
  }
  return true;
}

}  // namespace

// A unit closed from a callback of its own call lives until the call is
// over, whichever way it was rendered; then its handle is dead.
TEST(AULifetimeTest, ClosingFromACallbackWaitsForTheCallToReturn) {
  for (int way = 0; way < 3; ++way) {
    AudioUnit unit = OpenMorvex();
    ASSERT_NE(unit, nullptr);
    Prepare(unit, 2);
    BufferList out(2, 128);
    if (way == 2) {
      ASSERT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, CloseOnChange,
                                             nullptr),
                noErr);
      const UInt32 on = 1;
      EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, G, 0, &on, sizeof on),
                noErr);
    } else {
      AURenderCallbackStruct closer = {CloseWhileFeeding, unit};
      ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 0, &closer,
                                     sizeof closer),
                noErr);
      void* storage = GetComponentInstanceStorage(unit);
      AudioUnitRenderProc render = FastRender(unit);
      AudioUnitRenderActionFlags flags = 0;
      const AudioTimeStamp stamp = Stamp(0);
      EXPECT_EQ(way == 0 ? AudioUnitRender(unit, &flags, &stamp, 0, 128, out.list())
                         : render(storage, &flags, &stamp, 0, 128, out.list()),
                noErr)
          << way;
      EXPECT_FALSE(Silent(out, 128)) << way;
    }
    EXPECT_EQ(GetComponentInstanceStorage(unit), nullptr) << way;
    EXPECT_EQ(CloseComponent(unit), invalidComponentID) << way;
  }
}

// Closing the unit another one pulls from cuts the connection: the puller
// renders on exactly as if the host had disconnected it.
TEST(AULifetimeTest, ClosingAnUpstreamUnitCutsItsConnections) {
  Signal outputs[2];
  for (int way = 0; way < 2; ++way) {
    ScopedAudioUnit downstream;
    AudioUnit upstream = OpenMorvex();
    ASSERT_NE(upstream, nullptr);
    MemorySource source{Noise(2, 1024, 11)};
    Prepare(upstream, 2);
    ASSERT_EQ(source.attach(upstream), noErr);
    Prepare(downstream, 2);
    AudioUnitConnection connection = {upstream, 0, 0};
    ASSERT_EQ(AudioUnitSetProperty(downstream, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                   sizeof connection),
              noErr);
    BufferList first(2, 256);
    ASSERT_EQ(Render(downstream, 0, 256, first.list()), noErr);
    if (way == 0) {
      connection.sourceAudioUnit = nullptr;
      ASSERT_EQ(AudioUnitSetProperty(downstream, kAudioUnitProperty_MakeConnection, I, 0,
                                     &connection, sizeof connection),
                noErr);
    }
    ASSERT_EQ(CloseComponent(upstream), noErr);
    ScopedAudioUnit newcomer;  // may take the closed unit's place in memory
    Prepare(newcomer, 2);
    for (UInt32 block = 1; block < 4; ++block) {
      BufferList later(2, 256, 7.0f);
      ASSERT_EQ(Render(downstream, 256.0 * block, 256, later.list()), noErr);
      for (UInt32 c = 0; c < 2; ++c)
        outputs[way].push_back(later.samples(c));
    }
    EXPECT_EQ(source.pulls, 1);
  }
  EXPECT_EQ(outputs[1], outputs[0]);
}
