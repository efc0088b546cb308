#include "tools/auhost/HostCalls.h"

#include "tools/auhost/MorvexDescription.h"
#include "tools/auhost/StreamFormat.h"

AudioUnit OpenMorvex() {
  ComponentDescription looking = MorvexDescription();
  Component component = FindNextComponent(nullptr, &looking);
  return component ? OpenComponent(component) : nullptr;
}

OSStatus SetFormat(AudioUnit unit, AudioUnitScope scope, UInt32 element, UInt32 channels,
                   double sampleRate) {
  const AudioStreamBasicDescription format = CanonicalFormat(channels, sampleRate);
  return AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, element, &format,
                              sizeof format);
}

AudioTimeStamp Stamp(double sampleTime) {
  AudioTimeStamp stamp = {};
  stamp.mSampleTime = sampleTime;
  stamp.mFlags = kAudioTimeStampSampleTimeValid;
  return stamp;
}

OSStatus Render(AudioUnit unit, double sampleTime, UInt32 frames, AudioBufferList* list,
                UInt32 bus) {
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = Stamp(sampleTime);
  return AudioUnitRender(unit, &flags, &stamp, bus, frames, list);
}

OSStatus FastRender(AudioUnitRenderProc render, void* storage, double sampleTime, UInt32 frames,
                    AudioBufferList* list, UInt32 bus) {
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = Stamp(sampleTime);
  return render(storage, &flags, &stamp, bus, frames, list);
}
