#pragma once

#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"

// The bare calls a host makes, returning the unit's status rather than
// throwing, for callers that judge each status themselves (Unit.h wraps the
// same calls for those that only report failures).

// The first Morvex component, opened; null when none is found or opens.
AudioUnit OpenMorvex();

// An instance opened by OpenMorvex, closed at the end of the scope.
class ScopedAudioUnit {
 public:
  ScopedAudioUnit() : mUnit(OpenMorvex()) {}
  ~ScopedAudioUnit() {
    if (mUnit) CloseComponent(mUnit);
  }
  ScopedAudioUnit(const ScopedAudioUnit&) = delete;
  ScopedAudioUnit& operator=(const ScopedAudioUnit&) = delete;
  operator AudioUnit() const { return mUnit; }

 private:
  AudioUnit mUnit;
};

// The canonical stream format with `channels` channels on one element.
OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, UInt32 element, UInt32 channels,
                   double sampleRate = 44100.0);

// A time stamp carrying only a sample time.
AudioTimeStamp Stamp(double sampleTime);

// One render call at `sampleTime` into `list`.
OSStatus Render(AudioUnit unit, double sampleTime, UInt32 frames, AudioBufferList* list,
                UInt32 bus = 0);

// The same call through the unit's fast-dispatch render function, as hosts
// render: `storage` is the instance's component storage.
OSStatus FastRender(AudioUnitRenderProc render, void* storage, double sampleTime, UInt32 frames,
                    AudioBufferList* list, UInt32 bus = 0);
