// Rendering as a host drives it: refusals, notifications, input pulls,
// buffer binding, layouts, chaining and block splits.
#include "tests/support/AUHost.h"

using namespace au_test;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input;

std::vector<int> gEvents;
OSStatus Notify(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32,
                AudioBufferList*) {
  gEvents.push_back(static_cast<int>(*flags));
  return noErr;
}

// A unit ready to render channels in and out, fed from source.
void Ready(AudioUnit unit, MemorySource* source, UInt32 channels = 2) {
  Prepare(unit, channels);
  ASSERT_EQ(source->attach(unit), noErr);
}

}  // namespace

TEST(AURenderTest, RefusesBadCallsWithoutNotifying) {
  ScopedAudioUnit unit;
  MemorySource source{Noise(2, 2048)};
  Ready(unit, &source);
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, Notify, nullptr), noErr);
  gEvents.clear();
  BufferList out(2, 1025);
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp noSampleTime = Stamp(0);
  noSampleTime.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(AudioUnitRender(unit, &flags, &noSampleTime, 0, 64, out.list()),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(unit, 0, 64, out.list(), 1), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(unit, 0, 1025, out.list()), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(unit, 0, 64, nullptr), kAudioUnitErr_InvalidPropertyValue);
  out.buffer(1).mDataByteSize = 63 * 4;  // too small for 64 frames
  EXPECT_EQ(Render(unit, 0, 64, out.list()), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_TRUE(gEvents.empty());
  EXPECT_EQ(source.pulls, 0);
  out.buffer(1).mDataByteSize = 64 * 4;
  EXPECT_EQ(Render(unit, 0, 64, out.list()), noErr);
  EXPECT_EQ(gEvents, (std::vector<int>{kAudioUnitRenderAction_PreRender,
                                       kAudioUnitRenderAction_PostRender}));
}

TEST(AURenderTest, PullsOncePerTimeStampAndPassesFailuresOn) {
  ScopedAudioUnit unit;
  MemorySource source{Noise(2, 2048)};
  Ready(unit, &source);
  BufferList out(2, 256);
  EXPECT_EQ(Render(unit, 0, 256, out.list()), noErr);
  EXPECT_EQ(Render(unit, 0, 256, out.list()), noErr);
  EXPECT_EQ(source.pulls, 1);
  EXPECT_EQ(Render(unit, 256, 256, out.list()), noErr);
  EXPECT_EQ(source.pulls, 2);

  AURenderCallbackStruct failing = {
      [](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
         AudioBufferList*) -> OSStatus { return -1234; },
      nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 0, &failing,
                                 sizeof failing),
            noErr);
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, Notify, nullptr), noErr);
  gEvents.clear();
  EXPECT_EQ(Render(unit, 512, 256, out.list()), -1234);
  EXPECT_EQ(gEvents, std::vector<int>{kAudioUnitRenderAction_PreRender});
}

// Null output buffers get the unit's own memory, holding the same samples;
// buffers past the bus's channels are left alone.
TEST(AURenderTest, BindsHostBuffersAndFillsNullOnes) {
  ScopedAudioUnit a, b;
  MemorySource source{Noise(2, 512)};
  Ready(a, &source);
  Ready(b, &source);
  BufferList given(3, 512, 7.0f);
  ASSERT_EQ(Render(a, 0, 512, given.list()), noErr);
  BufferList null(2, 512);
  null.buffer(0).mData = nullptr;
  null.buffer(1).mData = nullptr;
  ASSERT_EQ(Render(b, 0, 512, null.list()), noErr);
  for (UInt32 c = 0; c < 2; ++c) {
    ASSERT_NE(null.buffer(c).mData, nullptr);
    const auto* samples = static_cast<const float*>(null.buffer(c).mData);
    EXPECT_EQ(std::vector<float>(samples, samples + 512), given.samples(c));
    EXPECT_NE(given.samples(c), source.signal[c]);
  }
  EXPECT_EQ(given.samples(2), std::vector<float>(512, 7.0f));
}

// Mono runs the engine's left chain on the one input with a silent second
// input, so it matches the left output of a stereo render with a silent right.
TEST(AURenderTest, MonoMatchesStereoLeftWithSilentRight) {
  ScopedAudioUnit mono, stereo;
  Signal left = Noise(1, 4096, 3);
  MemorySource monoSource{left};
  MemorySource stereoSource{{left[0], std::vector<float>(4096, 0.0f)}};
  Ready(mono, &monoSource, 1);
  Ready(stereo, &stereoSource, 2);
  const Signal monoOut = Process(mono, &monoSource, {1024});
  const Signal stereoOut = Process(stereo, &stereoSource, {1024});
  EXPECT_EQ(monoOut[0], stereoOut[0]);
  EXPECT_NE(monoOut[0], left[0]);
}

TEST(AURenderTest, OutputDoesNotDependOnTheBlockSplit) {
  const Signal input = Noise(2, 5000, 4);
  Signal reference;
  for (const std::vector<UInt32>& blocks :
       std::vector<std::vector<UInt32>>{{1024}, {1}, {7, 100, 1000, 13}, {512, 256}}) {
    ScopedAudioUnit unit;
    MemorySource source{input};
    Ready(unit, &source);
    const Signal output = Process(unit, &source, blocks);
    if (reference.empty()) {
      reference = output;
    } else {
      EXPECT_EQ(output, reference) << "first block " << blocks[0];
    }
  }
}

TEST(AURenderTest, MixZeroAndBypassPassTheInputThrough) {
  const Signal input = Noise(2, 3000, 5);
  for (bool bypass : {false, true}) {
    ScopedAudioUnit unit;
    MemorySource source{input};
    Ready(unit, &source);
    if (bypass) {
      const UInt32 on = 1;
      ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, G, 0, &on, sizeof on),
                noErr);
    } else {
      ASSERT_EQ(AudioUnitSetParameter(unit, 0, G, 0, 0.0f, 0), noErr);
    }
    EXPECT_EQ(Process(unit, &source, {1000}), input);
  }
}

// A unit connected to another pulls it through its fast render function: the
// chain sounds like the two effects applied one after the other.
TEST(AURenderTest, ChainedUnitsMatchTwoPassesInSeries) {
  const Signal input = Noise(2, 4096, 6);
  ScopedAudioUnit first, second, alone1, alone2;
  MemorySource source{input};
  Ready(first, &source);
  Prepare(second, 2);
  ASSERT_EQ(AudioUnitSetParameter(second, 1, G, 0, 1.0f, 0), noErr);
  AudioUnitConnection connection = {first, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(second, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                 sizeof connection),
            noErr);
  const Signal chained = Process(second, &source, {512});

  MemorySource direct{input};
  Ready(alone1, &direct);
  MemorySource middle{Process(alone1, &direct, {512})};
  Ready(alone2, &middle);
  ASSERT_EQ(AudioUnitSetParameter(alone2, 1, G, 0, 1.0f, 0), noErr);
  EXPECT_EQ(chained, Process(alone2, &middle, {512}));
}

// A rate set with the stream formats retunes the effect as the sample-rate
// property does.
TEST(AURenderTest, StreamFormatRateRetunesTheEffect) {
  const Signal input = Noise(2, 2048, 7);
  Signal outputs[3];
  for (int way = 0; way < 3; ++way) {
    ScopedAudioUnit unit;
    MemorySource source{input};
    const double rate = way == 0 ? 96000 : 44100;
    ASSERT_EQ(SetFormat(unit, I, 0, 2, rate), noErr);
    ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 2, rate), noErr);
    if (way == 1) {
      const Float64 high = 96000;
      ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, G, 0, &high, sizeof high),
                noErr);
    }
    ASSERT_EQ(AudioUnitInitialize(unit), noErr);
    ASSERT_EQ(source.attach(unit), noErr);
    outputs[way] = Process(unit, &source, {1024});
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_NE(outputs[0], outputs[2]);
}

namespace {
OSStatus Connect(AudioUnit to, AudioUnit from) {
  AudioUnitConnection connection = {from, 0, 0};
  return AudioUnitSetProperty(to, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                              sizeof connection);
}

// Renders the unit it feeds, as a confused host might.
OSStatus RenderTheUnitItFeeds(void* refCon, AudioUnitRenderActionFlags* flags,
                              const AudioTimeStamp* stamp, UInt32, UInt32 frames,
                              AudioBufferList* list) {
  return AudioUnitRender(static_cast<AudioUnit>(refCon), flags, stamp, 0, frames, list);
}
}  // namespace

// A connection that would close a loop is refused and leaves the input as it
// was; the units still render what they rendered before.
TEST(AURenderTest, ConnectionsThatCloseALoopAreRefused) {
  ScopedAudioUnit a, b, c;
  MemorySource source{Noise(2, 1024, 9)};
  Ready(a, &source);
  Prepare(b, 2);
  Prepare(c, 2);
  ASSERT_EQ(Connect(b, a), noErr);
  EXPECT_EQ(Connect(a, b), kAudioUnitErr_InvalidPropertyValue);
  ASSERT_EQ(Connect(c, b), noErr);
  EXPECT_EQ(Connect(a, c), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Connect(a, a), kAudioUnitErr_InvalidPropertyValue);
  BufferList out(2, 256);
  EXPECT_EQ(Render(c, 0, 256, out.list()), noErr);
  EXPECT_EQ(source.pulls, 1);
  // Once the loop is opened elsewhere, the same connection is fine.
  AudioUnitConnection none = {nullptr, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(b, kAudioUnitProperty_MakeConnection, I, 0, &none, sizeof none),
            noErr);
  EXPECT_EQ(Connect(a, c), noErr);
}

// A render that comes back into a unit already rendering is turned away
// rather than recursing.
TEST(AURenderTest, ARenderReenteringItsUnitIsRefused) {
  ScopedAudioUnit unit;
  Prepare(unit, 2);
  AURenderCallbackStruct loop = {RenderTheUnitItFeeds, static_cast<AudioUnit>(unit)};
  ASSERT_EQ(
      AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 0, &loop, sizeof loop),
      noErr);
  BufferList out(2, 64);
  EXPECT_EQ(Render(unit, 0, 64, out.list()), kAudioUnitErr_CannotDoInCurrentContext);
  MemorySource source{Noise(2, 64)};
  ASSERT_EQ(source.attach(unit), noErr);
  EXPECT_EQ(Render(unit, 0, 64, out.list()), noErr);
}

// A new block size moves the memory the inputs were read into: the same
// time stamp is read again rather than from where the inputs used to be.
TEST(AURenderTest, ABlockSizeChangeReadsTheInputsAgain) {
  ScopedAudioUnit unit;
  MemorySource source{Noise(2, 512, 12)};
  Ready(unit, &source);
  BufferList first(2, 512), again(2, 512);
  ASSERT_EQ(Render(unit, 0, 512, first.list()), noErr);
  const UInt32 frames = 4096;
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames,
                                 sizeof frames),
            noErr);
  ASSERT_EQ(Render(unit, 0, 512, again.list()), noErr);
  EXPECT_EQ(source.pulls, 2);
}
