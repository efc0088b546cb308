// The parameter procedures, reached through the entry or directly by fast
// dispatch.
#include "framework/au/IPlugAU.h"

OSStatus IPlugAU::GetParamProc(void* storage, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement, AudioUnitParameterValue* value) {
  auto* plug = static_cast<IPlugAU*>(storage);
  if (!plug) return badComponentInstance;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (paramID >= static_cast<UInt32>(plug->NParams())) return kAudioUnitErr_InvalidParameter;
  if (!value) return paramErr;
  IMutexLock lock(plug);
  *value = static_cast<AudioUnitParameterValue>(plug->GetParam(static_cast<int>(paramID))->Value());
  return noErr;
}

OSStatus IPlugAU::SetParamProc(void* storage, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement, AudioUnitParameterValue value, UInt32) {
  auto* plug = static_cast<IPlugAU*>(storage);
  if (!plug) return badComponentInstance;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (paramID >= static_cast<UInt32>(plug->NParams())) return kAudioUnitErr_InvalidParameter;
  plug->SetParameterFromHost(static_cast<int>(paramID), value);
  return noErr;
}
