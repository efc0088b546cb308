#pragma once

// What the Audio Unit tests add to the host library: expectations on each
// call, the test signal, and rendering a whole signal in given block sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "tools/auhost/BufferList.h"
#include "tools/auhost/HostCalls.h"
#include "tools/auhost/MemorySource.h"

namespace au_test {

using Signal = MemorySource::Signal;

constexpr int kNumParams = 7;

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
inline Signal Process(AudioUnit unit, MemorySource* source, const std::vector<UInt32>& blocks) {
  const UInt32 channels = static_cast<UInt32>(source->signal.size());
  const size_t total = source->signal[0].size();
  Signal output(channels);
  size_t done = 0;
  for (size_t b = 0; done < total; ++b) {
    const UInt32 frames =
        static_cast<UInt32>(std::min<size_t>(blocks[b % blocks.size()], total - done));
    BufferList out(channels, frames);
    EXPECT_EQ(Render(unit, static_cast<double>(done), frames, out.list()), noErr);
    for (UInt32 c = 0; c < channels; ++c)
      output[c].insert(output[c].end(), out.samples(c).begin(), out.samples(c).end());
    done += frames;
  }
  return output;
}

}  // namespace au_test
