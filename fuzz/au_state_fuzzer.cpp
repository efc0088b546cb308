// Saved states arrive from .aupreset files and host documents: any bytes
// that parse as a property list go to the plug-in's state restore. A refused
// restore must leave every parameter as it was.
#include <cstdint>
#include <cstdlib>

#include "framework/au/IPlugAU.h"
#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "tools/auhost/MorvexDescription.h"

namespace {
AudioUnit TheUnit() {
  static AudioUnit unit = [] {
    const ComponentDescription morvex = MorvexDescription();
    return OpenComponent(HostRegisterComponent(&morvex, IPlugAU::IPlugAUEntry, kMorvexComponentName,
                                               kMorvexVersion));
  }();
  return unit;
}

void ReadParams(AudioUnit unit, AudioUnitParameterValue (&values)[7]) {
  for (UInt32 i = 0; i < 7; ++i) {
    if (AudioUnitGetParameter(unit, i, kAudioUnitScope_Global, 0, &values[i]) != noErr) {
      std::abort();
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  AudioUnit unit = TheUnit();
  if (!unit) std::abort();
  CFDataRef data = CFDataCreate(nullptr, bytes, static_cast<CFIndex>(size));
  CFPropertyListRef state = CFPropertyListCreateWithData(nullptr, data, 0, nullptr, nullptr);
  CFRelease(data);
  if (!state) return 0;
  AudioUnitParameterValue before[7], after[7];
  ReadParams(unit, before);
  const OSStatus status = AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo,
                                               kAudioUnitScope_Global, 0, &state, sizeof state);
  CFRelease(state);
  ReadParams(unit, after);
  if (status != noErr) {
    for (int i = 0; i < 7; ++i) {
      if (before[i] != after[i]) std::abort();
    }
  }
  CFPropertyListRef saved = nullptr;
  UInt32 savedSize = sizeof saved;
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &saved,
                           &savedSize) != noErr) {
    std::abort();
  }
  CFRelease(saved);
  return 0;
}
