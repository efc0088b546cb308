#pragma once

#include "platform/AudioUnitUtilities.h"

CF_EXTERN_C_BEGIN

// [any thread] The host's receiver for AUEventListenerNotify: called on the
// notifying thread with refCon, the sending object, the event, the monotonic
// clock in nanoseconds and, for kAudioUnitEvent_ParameterValueChange, the
// parameter's value read back with AudioUnitGetParameter (0 when that fails).
// Null removes the hook; events are then dropped.
MORVEX_PLATFORM_API void HostSetAUEventHook(AUEventListenerProc proc, void* refCon);

CF_EXTERN_C_END
