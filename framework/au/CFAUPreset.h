#pragma once

#include "platform/AudioUnitProperties.h"
#include "platform/CFArray.h"

// A reference-counted factory preset record handed to hosts in the factory
// presets array. It begins with an AUPreset, so the array reads as AUPreset
// values. The count is not atomic: a record belongs to one array, which a
// host uses from one thread at a time. [UI thread]
struct CFAUPreset {
  AUPreset auPreset;
  UInt32 version;
  CFAllocatorRef allocator;
  CFIndex retainCount;
};
typedef CFAUPreset* CFAUPresetRef;

// Null when the allocator gives no memory. The name is copied.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name);
CFAUPresetRef CFAUPresetRetain(void* preset);
// Frees the record with its allocator when the count reaches 0.
void CFAUPresetRelease(void* preset);

// Array callbacks that retain, release, describe and compare the records.
extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
