#include "framework/au/SavedState.h"

#include "framework/au/AUStateDict.h"
#include "framework/au/CFStrings.h"
#include "framework/plugin/ByteChunk.h"
#include "framework/plugin/IPlugBase.h"
#include "platform/AudioUnitProperties.h"

CFMutableDictionaryRef CreateSavedState(IPlugBase* plug, const SavedStateIdentity& identity,
                                        const char* presetName) {
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return nullptr;
  const SInt32 version = plug->GetEffectVersion(false);
  PutNumberInDict(dict, kAUPresetVersionKey, &version, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetTypeKey, &identity.type, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetSubtypeKey, &identity.subtype, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetManufacturerKey, &identity.manufacturer, kCFNumberSInt32Type);
  PutStrInDict(dict, kAUPresetNameKey, presetName);
  ByteChunk chunk;
  if (plug->SerializeState(&chunk)) PutDataInDict(dict, kAUPresetDataKey, &chunk);
  return dict;
}

bool RestoreSavedState(IPlugBase* plug, const SavedStateIdentity& identity, CFDictionaryRef state) {
  if (!state || CFGetTypeID(state) != CFDictionaryGetTypeID()) return false;
  SInt32 type, subtype, manufacturer;
  CFStringRef name = GetStrFromDict(state, kAUPresetNameKey);
  ByteChunk chunk;
  const bool valid =
      (name || !DictHasKey(state, kAUPresetNameKey)) &&
      GetNumberFromDict(state, kAUPresetTypeKey, &type, kCFNumberSInt32Type) &&
      GetNumberFromDict(state, kAUPresetSubtypeKey, &subtype, kCFNumberSInt32Type) &&
      GetNumberFromDict(state, kAUPresetManufacturerKey, &manufacturer, kCFNumberSInt32Type) &&
      type == identity.type && subtype == identity.subtype &&
      manufacturer == identity.manufacturer && GetDataFromDict(state, kAUPresetDataKey, &chunk) &&
      // A plug-in whose state is its parameters needs a number for each.
      (plug->DoesStateChunks() || plug->HoldsParamValues(&chunk, 0));
  if (!valid) return false;
  if (name) plug->RestorePreset(CStrLocal(name).Get());
  if (plug->UnserializeState(&chunk, 0) <= 0) return false;
  plug->RedrawParamControls();
  return true;
}
