// What the wrapper tells the host: property listeners and parameter events.
#include <cstring>

#include "framework/au/IPlugAU.h"

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope) {
  // A listener may add or remove listeners, or close the unit, while it is
  // called: the list read here stays whole until this call is over.
  const RenderReaders::Scope readers;
  for (const PropertyListener& listener : mListeners.Get()) {
    if (listener.mPropertyID == propID) {
      listener.mProc(listener.mUserData, mComponent, propID, scope, 0);
    }
  }
}

void IPlugAU::SendAUEvent(AudioUnitEventType type, int paramIdx) {
  AudioUnitEvent event;
  memset(&event, 0, sizeof event);
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = mComponent;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(paramIdx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPlugAU::BeginInformHostOfParamChange(int paramIdx) {
  SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, paramIdx);
}

// The host reads the value back through the parameter call.
void IPlugAU::InformHostOfParamChange(int paramIdx, double) {
  SendAUEvent(kAudioUnitEvent_ParameterValueChange, paramIdx);
}

void IPlugAU::EndInformHostOfParamChange(int paramIdx) {
  SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, paramIdx);
}

void IPlugAU::InformHostOfProgramChange() {
  InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

// Listeners that read the latency during the call still see the old value.
void IPlugAU::SetLatency(int samples) {
  InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
  IPlugBase::SetLatency(samples);
}
