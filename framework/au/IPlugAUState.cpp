// The saved state: the parameter chunk wrapped in a dictionary with the
// component's identity and the current preset's name.
#include "framework/au/AUStateDict.h"
#include "framework/au/CFStrings.h"
#include "framework/au/IPlugAU.h"

ComponentResult IPlugAU::GetState(CFPropertyListRef* plist) {
  ComponentDescription cd;
  const OSErr err =
      GetComponentInfo(reinterpret_cast<Component>(mComponent), &cd, nullptr, nullptr, nullptr);
  if (err != noErr) return err;
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  const SInt32 version = GetEffectVersion(false);
  const SInt32 type = static_cast<SInt32>(cd.componentType);
  const SInt32 subtype = static_cast<SInt32>(cd.componentSubType);
  const SInt32 manufacturer = static_cast<SInt32>(cd.componentManufacturer);
  PutNumberInDict(dict, kAUPresetVersionKey, &version, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetTypeKey, &type, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetSubtypeKey, &subtype, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetManufacturerKey, &manufacturer, kCFNumberSInt32Type);
  PutStrInDict(dict, kAUPresetNameKey, GetPresetName(GetCurrentPresetIdx()));
  ByteChunk chunk;
  if (SerializeState(&chunk)) PutDataInDict(dict, kAUPresetDataKey, &chunk);
  *plist = dict;
  return noErr;
}

// The whole dictionary is checked before anything changes, so a restore
// applies fully or is refused with nothing touched: no parameter, no preset.
ComponentResult IPlugAU::SetState(CFPropertyListRef plist) {
  ComponentDescription cd;
  const OSErr err =
      GetComponentInfo(reinterpret_cast<Component>(mComponent), &cd, nullptr, nullptr, nullptr);
  if (err != noErr) return err;
  if (!plist || CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
    return kAudioUnitErr_InvalidPropertyValue;
  }
  const auto dict = static_cast<CFDictionaryRef>(plist);
  // Only the keys the restore reads are checked: states from other hosts and
  // versions may carry a "version" of any type, or no name.
  SInt32 type, subtype, manufacturer;
  CFStringRef name = GetStrFromDict(dict, kAUPresetNameKey);
  ByteChunk chunk;
  const bool valid =
      (name || !DictHasKey(dict, kAUPresetNameKey)) &&
      GetNumberFromDict(dict, kAUPresetTypeKey, &type, kCFNumberSInt32Type) &&
      GetNumberFromDict(dict, kAUPresetSubtypeKey, &subtype, kCFNumberSInt32Type) &&
      GetNumberFromDict(dict, kAUPresetManufacturerKey, &manufacturer, kCFNumberSInt32Type) &&
      type == static_cast<SInt32>(cd.componentType) &&
      subtype == static_cast<SInt32>(cd.componentSubType) &&
      manufacturer == static_cast<SInt32>(cd.componentManufacturer) &&
      GetDataFromDict(dict, kAUPresetDataKey, &chunk) &&
      // A plug-in whose state is its parameters needs a number for each.
      (DoesStateChunks() || HoldsParamValues(&chunk, 0));
  if (!valid) return kAudioUnitErr_InvalidPropertyValue;

  if (name) RestorePreset(CStrLocal(name).Get());
  if (UnserializeState(&chunk, 0) <= 0) return kAudioUnitErr_InvalidPropertyValue;
  RedrawParamControls();
  return noErr;
}
