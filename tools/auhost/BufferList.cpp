#include "tools/auhost/BufferList.h"

#include <cstddef>

namespace {
size_t WordsFor(UInt32 nBuffers) {
  const size_t bytes = offsetof(AudioBufferList, mBuffers) + nBuffers * sizeof(AudioBuffer);
  return (bytes + sizeof(UInt64) - 1) / sizeof(UInt64);
}
}  // namespace

BufferList::BufferList(UInt32 nBuffers, UInt32 frames, float fill)
    : mSamples(nBuffers, std::vector<float>(frames, fill)), mMemory(WordsFor(nBuffers)) {
  list()->mNumberBuffers = nBuffers;
  for (UInt32 i = 0; i < nBuffers; ++i)
    buffer(i) = {1, frames * static_cast<UInt32>(sizeof(float)),
                 frames ? mSamples[i].data() : nullptr};
}
