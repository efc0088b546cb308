#pragma once

#include <vector>

#include "platform/CoreAudioTypes.h"

// A variable-length AudioBufferList of non-interleaved float buffers. With
// frames, each buffer points at samples of its own; without, the caller
// points the buffers at its own memory before each render.
class BufferList {
 public:
  BufferList(UInt32 nBuffers, UInt32 frames, float fill = 0.0f);

  AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(mMemory.data()); }
  AudioBuffer& buffer(UInt32 i) { return list()->mBuffers[i]; }
  std::vector<float>& samples(UInt32 i) { return mSamples[i]; }

 private:
  std::vector<std::vector<float>> mSamples;
  // 8-byte words, so that the list's pointers are aligned.
  std::vector<UInt64> mMemory;
};
