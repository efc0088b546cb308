// The saved state: the parameter chunk wrapped in a dictionary with the
// component's identity and the current preset's name.
#include "framework/au/IPlugAU.h"
#include "framework/au/SavedState.h"

namespace {

OSErr IdentityOf(AudioUnit component, SavedStateIdentity* identity) {
  ComponentDescription cd;
  const OSErr err =
      GetComponentInfo(reinterpret_cast<Component>(component), &cd, nullptr, nullptr, nullptr);
  *identity = {static_cast<SInt32>(cd.componentType), static_cast<SInt32>(cd.componentSubType),
               static_cast<SInt32>(cd.componentManufacturer)};
  return err;
}

}  // namespace

ComponentResult IPlugAU::GetState(CFPropertyListRef* plist) {
  SavedStateIdentity identity;
  const OSErr err = IdentityOf(mComponent, &identity);
  if (err != noErr) return err;
  CFMutableDictionaryRef dict =
      CreateSavedState(this, identity, GetPresetName(GetCurrentPresetIdx()));
  if (!dict) return coreFoundationUnknownErr;
  *plist = dict;
  return noErr;
}

ComponentResult IPlugAU::SetState(CFPropertyListRef plist) {
  SavedStateIdentity identity;
  const OSErr err = IdentityOf(mComponent, &identity);
  if (err != noErr) return err;
  if (!RestoreSavedState(this, identity, static_cast<CFDictionaryRef>(plist)))
    return kAudioUnitErr_InvalidPropertyValue;
  return noErr;
}
