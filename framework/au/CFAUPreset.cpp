#include "framework/au/CFAUPreset.h"

#include "platform/CFString.h"

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name) {
  auto* preset = static_cast<CFAUPresetRef>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
  if (!preset) return nullptr;
  preset->auPreset.presetNumber = presetNumber;
  preset->auPreset.presetName = name ? CFStringCreateCopy(kCFAllocatorDefault, name) : nullptr;
  preset->version = 0;
  preset->allocator = allocator;
  preset->retainCount = 1;
  return preset;
}

CFAUPresetRef CFAUPresetRetain(void* record) {
  auto* preset = static_cast<CFAUPresetRef>(record);
  if (preset) {
    if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
    ++preset->retainCount;
  }
  return preset;
}

void CFAUPresetRelease(void* record) {
  auto* preset = static_cast<CFAUPresetRef>(record);
  if (!preset || preset->retainCount <= 0) return;
  if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
  if (--preset->retainCount > 0) return;
  preset->auPreset.presetNumber = 0;
  preset->auPreset.presetName = nullptr;
  CFAllocatorDeallocate(preset->allocator, preset);
}

namespace {
const void* RetainCallBack(CFAllocatorRef, const void* value) {
  return CFAUPresetRetain(const_cast<void*>(value));
}

void ReleaseCallBack(CFAllocatorRef, const void* value) {
  CFAUPresetRelease(const_cast<void*>(value));
}

CFStringRef CopyDescriptionCallBack(const void* value) {
  const auto* preset = static_cast<const CFAUPreset*>(value);
  return CFStringCreateWithFormat(
      kCFAllocatorDefault, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
      static_cast<int>(preset->auPreset.presetNumber), preset->auPreset.presetName);
}

Boolean EqualCallBack(const void* value1, const void* value2) {
  const auto* a = static_cast<const CFAUPreset*>(value1);
  const auto* b = static_cast<const CFAUPreset*>(value2);
  return a->auPreset.presetNumber == b->auPreset.presetNumber &&
         CFStringCompare(a->auPreset.presetName, b->auPreset.presetName, 0) == kCFCompareEqualTo;
}
}  // namespace

// Filled at load time like any constant; there is nothing to set up later.
const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, RetainCallBack, ReleaseCallBack,
                                                    CopyDescriptionCallBack, EqualCallBack};
