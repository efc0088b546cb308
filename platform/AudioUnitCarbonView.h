#pragma once

#include "platform/AUComponent.h"

CF_EXTERN_C_BEGIN

typedef ComponentInstance AudioUnitCarbonView;
typedef struct OpaqueWindowPtr* WindowRef;
typedef struct OpaqueControlRef* ControlRef;

typedef struct Float32Point {
  Float32 x;
  Float32 y;
} Float32Point;

enum { kAudioUnitCarbonViewComponentType = 0x61757677 /* 'auvw' */ };
enum { kAudioUnitCarbonViewRange = 0x0300, kAudioUnitCarbonViewCreateSelect = 0x0301 };

// [UI thread] Dispatched like the AudioUnit calls.
MORVEX_PLATFORM_API ComponentResult
AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                          ControlRef inParentControl, const Float32Point* inLocation,
                          const Float32Point* inSize, ControlRef* outControl);

CF_EXTERN_C_END
