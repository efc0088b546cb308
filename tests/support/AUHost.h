#pragma once

// A small host for tests: finds Morvex through the component search
// (AUDIOUNIT_PATH names the bundle in the build tree), opens it, feeds it
// from memory through its input callback and renders blocks the way a host
// does.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "platform/AudioToolbox.h"
#include "platform/CoreFoundation.h"
#include "platform/HostComponents.h"
#include "tools/auhost/MorvexDescription.h"
#include "tools/auhost/StreamFormat.h"

namespace au_test {

using Signal = std::vector<std::vector<float>>;

constexpr int kNumParams = 7;

inline AudioUnit OpenMorvex() {
  ComponentDescription looking = MorvexDescription();
  Component component = FindNextComponent(nullptr, &looking);
  return component ? OpenComponent(component) : nullptr;
}

// An open Morvex instance, closed at the end of the scope.
class Unit {
 public:
  Unit() : mUnit(OpenMorvex()) {}
  ~Unit() {
    if (mUnit) CloseComponent(mUnit);
  }
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;
  operator AudioUnit() const { return mUnit; }

 private:
  AudioUnit mUnit;
};

inline OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, UInt32 element, UInt32 channels,
                          double sampleRate = 44100.0) {
  const AudioStreamBasicDescription format = CanonicalFormat(channels, sampleRate);
  return AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, element, &format,
                              sizeof format);
}

inline float Param(AudioUnit unit, UInt32 id) {
  AudioUnitParameterValue value = -1.0f;
  EXPECT_EQ(AudioUnitGetParameter(unit, id, kAudioUnitScope_Global, 0, &value), noErr);
  return value;
}

inline std::vector<float> Params(AudioUnit unit) {
  std::vector<float> values;
  for (UInt32 i = 0; i < kNumParams; ++i)
    values.push_back(Param(unit, i));
  return values;
}

// A variable-length AudioBufferList over its own samples.
class Buffers {
 public:
  Buffers(UInt32 nBuffers, UInt32 frames, float fill = 0.0f)
      : mSamples(nBuffers, std::vector<float>(frames, fill)),
        mMemory((offsetof(AudioBufferList, mBuffers) + (nBuffers + 1) * sizeof(AudioBuffer)) / 8 +
                1) {
    list()->mNumberBuffers = nBuffers;
    for (UInt32 i = 0; i < nBuffers; ++i)
      buffer(i) = {1, frames * 4, mSamples[i].data()};
  }
  AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(mMemory.data()); }
  AudioBuffer& buffer(UInt32 i) { return list()->mBuffers[i]; }
  std::vector<float>& samples(UInt32 i) { return mSamples[i]; }

 private:
  Signal mSamples;
  std::vector<UInt64> mMemory;
};

inline AudioTimeStamp Stamp(double sampleTime) {
  AudioTimeStamp stamp = {};
  stamp.mSampleTime = sampleTime;
  stamp.mFlags = kAudioTimeStampSampleTimeValid;
  return stamp;
}

inline OSStatus Render(AudioUnit unit, double sampleTime, UInt32 frames, AudioBufferList* list,
                       UInt32 bus = 0) {
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = Stamp(sampleTime);
  return AudioUnitRender(unit, &flags, &stamp, bus, frames, list);
}

// Feeds the input callback from a signal, by sample time, and counts pulls.
struct Source {
  Signal signal;
  int pulls = 0;

  static OSStatus Callback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* stamp,
                           UInt32, UInt32 frames, AudioBufferList* list) {
    auto* source = static_cast<Source*>(refCon);
    ++source->pulls;
    const size_t start = static_cast<size_t>(stamp->mSampleTime);
    for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
      auto* out = static_cast<float*>(list->mBuffers[c].mData);
      for (UInt32 s = 0; s < frames; ++s)
        out[s] = source->signal[c][start + s];
    }
    return noErr;
  }
  OSStatus Attach(AudioUnit unit) {
    AURenderCallbackStruct callback = {Callback, this};
    return AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                                0, &callback, sizeof callback);
  }
};

// Deterministic noise in [-0.5, 0.5), one vector per channel.
inline Signal Noise(size_t channels, size_t frames, unsigned seed = 1) {
  Signal signal(channels, std::vector<float>(frames));
  ReproducibleNoise noise(seed);
  for (auto& channel : signal) {
    for (float& sample : channel)
      sample = static_cast<float>(noise.unit() - 0.5);
  }
  return signal;
}

// Formats, block size and initialisation for a layout of channels in and out.
inline void Prepare(AudioUnit unit, UInt32 channels, UInt32 maxFrames = 1024,
                    double sampleRate = 44100.0) {
  ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, channels, sampleRate), noErr);
  ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, channels, sampleRate), noErr);
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                                 kAudioUnitScope_Global, 0, &maxFrames, sizeof maxFrames),
            noErr);
  ASSERT_EQ(AudioUnitInitialize(unit), noErr);
}

// Renders the whole source through the unit in blocks of the given sizes
// (repeated as needed) and returns the output.
inline Signal Process(AudioUnit unit, Source* source, const std::vector<UInt32>& blocks) {
  const UInt32 channels = static_cast<UInt32>(source->signal.size());
  const size_t total = source->signal[0].size();
  Signal output(channels);
  size_t done = 0;
  for (size_t b = 0; done < total; ++b) {
    const UInt32 frames =
        static_cast<UInt32>(std::min<size_t>(blocks[b % blocks.size()], total - done));
    Buffers out(channels, frames);
    EXPECT_EQ(Render(unit, static_cast<double>(done), frames, out.list()), noErr);
    for (UInt32 c = 0; c < channels; ++c)
      output[c].insert(output[c].end(), out.samples(c).begin(), out.samples(c).end());
    done += frames;
  }
  return output;
}

}  // namespace au_test
