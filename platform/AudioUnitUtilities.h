#pragma once

#include "platform/AudioUnitProperties.h"

CF_EXTERN_C_BEGIN

typedef UInt32 AudioUnitEventType;
enum {
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
  kAudioUnitEvent_PropertyChange = 3
};

typedef struct AudioUnitEvent {
  AudioUnitEventType mEventType;
  union {
    AudioUnitParameter mParameter;
    AudioUnitProperty mProperty;
  } mArgument;
} AudioUnitEvent;

typedef struct AUListenerBase* AUEventListenerRef;

typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject,
                                    const AudioUnitEvent* inEvent, UInt64 inEventHostTime,
                                    AudioUnitParameterValue inParameterValue);

// [any thread] Delivers the event to the host's hook (platform/HostEvents.h)
// on the calling thread; paramErr for a null event.
MORVEX_PLATFORM_API OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener,
                                                   void* inSendingObject,
                                                   const AudioUnitEvent* inEvent);

CF_EXTERN_C_END
