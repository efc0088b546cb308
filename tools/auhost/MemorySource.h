#pragma once

#include <vector>

#include "platform/AudioToolbox.h"

// A unit's input, fed from memory through its render callback: each pull
// gets the samples at the sample time it asks for. Counts the pulls, which
// tells whether a unit asked for input at all.
struct MemorySource {
  // Channels of samples, one vector each.
  using Signal = std::vector<std::vector<float>>;

  Signal signal;
  int pulls = 0;

  // Sets the unit's input callback to this source.
  OSStatus attach(AudioUnit unit);

 private:
  static OSStatus supply(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* stamp,
                         UInt32, UInt32 frames, AudioBufferList* list);
};
