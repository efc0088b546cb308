// What the wrapper tells the host: property listeners and parameter events.
#include <cstring>

#include "framework/au/IPlugAU.h"

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope) {
  // A listener may add or remove listeners while it is called: work from a
  // copy of its record and look the list up afresh each time.
  for (int i = 0; i < mListeners.GetSize(); ++i) {
    const PropertyListener listener = *mListeners.Get(i);
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
