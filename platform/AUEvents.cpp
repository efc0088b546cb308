#include <ctime>
#include <mutex>

#include "platform/AudioUnit.h"
#include "platform/HostEvents.h"

namespace {

struct Hook {
  std::mutex mutex;
  AUEventListenerProc proc = nullptr;
  void* refCon = nullptr;
};

Hook& TheHook() {
  static Hook& hook = *new Hook;
  return hook;
}

UInt64 MonotonicNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<UInt64>(now.tv_sec) * 1000000000u + static_cast<UInt64>(now.tv_nsec);
}

}  // namespace

void HostSetAUEventHook(AUEventListenerProc proc, void* refCon) {
  Hook& hook = TheHook();
  std::lock_guard<std::mutex> lock(hook.mutex);
  hook.proc = proc;
  hook.refCon = refCon;
}

OSStatus AUEventListenerNotify(AUEventListenerRef, void* inSendingObject,
                               const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  Hook& hook = TheHook();
  AUEventListenerProc proc;
  void* refCon;
  {
    std::lock_guard<std::mutex> lock(hook.mutex);
    proc = hook.proc;
    refCon = hook.refCon;
  }
  if (!proc) return noErr;
  AudioUnitParameterValue value = 0;
  if (inEvent->mEventType == kAudioUnitEvent_ParameterValueChange) {
    const AudioUnitParameter& parameter = inEvent->mArgument.mParameter;
    if (AudioUnitGetParameter(parameter.mAudioUnit, parameter.mParameterID, parameter.mScope,
                              parameter.mElement, &value) != noErr) {
      value = 0;
    }
  }
  // Called outside the lock: the hook may send events or replace itself.
  proc(refCon, inSendingObject, inEvent, MonotonicNanoseconds(), value);
  return noErr;
}
