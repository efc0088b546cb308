#include "tools/auhost/MemorySource.h"

#include <algorithm>
#include <cstddef>

OSStatus MemorySource::attach(AudioUnit unit) {
  const AURenderCallbackStruct callback = {&MemorySource::supply, this};
  return AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                              &callback, sizeof callback);
}

OSStatus MemorySource::supply(void* refCon, AudioUnitRenderActionFlags*,
                              const AudioTimeStamp* stamp, UInt32, UInt32 frames,
                              AudioBufferList* list) {
  auto* source = static_cast<MemorySource*>(refCon);
  ++source->pulls;
  if (list->mNumberBuffers > source->signal.size()) return kAudioUnitErr_InvalidParameter;
  const size_t start = static_cast<size_t>(stamp->mSampleTime);
  for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
    const std::vector<float>& channel = source->signal[c];
    auto* out = static_cast<float*>(list->mBuffers[c].mData);
    // Past the signal's end, silence: a unit may pull its tail.
    for (UInt32 s = 0; s < frames; ++s)
      out[s] = start + s < channel.size() ? channel[start + s] : 0.0f;
  }
  return noErr;
}
