#pragma once

#include "platform/CFBase.h"
#include "platform/CFDate.h"
#include "platform/CFString.h"

CF_EXTERN_C_BEGIN

// One run loop per thread, made on first use; it starts no thread of its
// own and waits in poll(2). Timers, sources and observers belong to the
// loop of the thread that added them and are used from that thread only;
// CFRunLoopStop and CFRunLoopWakeUp may come from any thread.
//
// A run started from inside a callback (a modal menu, say) keeps the other
// timers firing, but a timer or observer is never re-entered while its own
// callback runs. File-descriptor sources are one-shot, so one fires again
// in a nested run only when its callback has re-enabled it.
typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopSource* CFRunLoopSourceRef;
typedef struct __CFRunLoopObserver* CFRunLoopObserverRef;
typedef struct __CFRunLoopTimer* CFRunLoopTimerRef;
typedef CFStringRef CFRunLoopMode;

enum {
  kCFRunLoopRunFinished = 1,  // the mode has no sources or timers
  kCFRunLoopRunStopped = 2,
  kCFRunLoopRunTimedOut = 3,
  kCFRunLoopRunHandledSource = 4
};

typedef CFOptionFlags CFRunLoopActivity;
enum {
  kCFRunLoopEntry = 1UL << 0,
  kCFRunLoopBeforeTimers = 1UL << 1,
  kCFRunLoopBeforeSources = 1UL << 2,
  kCFRunLoopBeforeWaiting = 1UL << 5,
  kCFRunLoopAfterWaiting = 1UL << 6,
  kCFRunLoopExit = 1UL << 7,
  kCFRunLoopAllActivities = 0x0FFFFFFFU
};

// Anything added in the common modes takes part in a run of any mode.
extern MORVEX_PLATFORM_API const CFRunLoopMode kCFRunLoopDefaultMode;
extern MORVEX_PLATFORM_API const CFRunLoopMode kCFRunLoopCommonModes;

MORVEX_PLATFORM_API CFTypeID CFRunLoopGetTypeID(void);
// [any thread] The calling thread's loop; not retained for the caller.
MORVEX_PLATFORM_API CFRunLoopRef CFRunLoopGetCurrent(void);
// Runs the default mode until stopped or out of sources and timers.
MORVEX_PLATFORM_API void CFRunLoopRun(void);
// Runs the mode once for at most `seconds` (0 checks once and returns);
// returns one of kCFRunLoopRun*.
MORVEX_PLATFORM_API SInt32 CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds,
                                              Boolean returnAfterSourceHandled);
// [any thread] Ends the innermost run of the loop; when none is running,
// the next run returns kCFRunLoopRunStopped at once.
MORVEX_PLATFORM_API void CFRunLoopStop(CFRunLoopRef rl);
// [any thread] Ends the current wait so that the loop looks again.
MORVEX_PLATFORM_API void CFRunLoopWakeUp(CFRunLoopRef rl);
MORVEX_PLATFORM_API Boolean CFRunLoopIsWaiting(CFRunLoopRef rl);
// Null when the mode is not running.
MORVEX_PLATFORM_API CFRunLoopMode CFRunLoopCopyCurrentMode(CFRunLoopRef rl);

// ---- Timers ----

typedef struct {
  CFIndex version;
  void* info;
  const void* (*retain)(const void* info);
  void (*release)(const void* info);
  CFStringRef (*copyDescription)(const void* info);
} CFRunLoopTimerContext;
typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);

MORVEX_PLATFORM_API CFTypeID CFRunLoopTimerGetTypeID(void);
// Fires first at fireDate, then every `interval` seconds (missed fires are
// skipped, not caught up); an interval of 0 or less fires once and then
// invalidates the timer. The context is copied and its info retained.
MORVEX_PLATFORM_API CFRunLoopTimerRef CFRunLoopTimerCreate(
    CFAllocatorRef allocator, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags flags,
    CFIndex order, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context);
// A timer belongs to one loop, in as many modes as it is added in; adding
// it to a second loop is ignored. The loop retains it until it is removed
// or invalidated.
MORVEX_PLATFORM_API void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer,
                                           CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer,
                                              CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
MORVEX_PLATFORM_API Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
MORVEX_PLATFORM_API CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer);
MORVEX_PLATFORM_API CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);
MORVEX_PLATFORM_API void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer,
                                                       CFAbsoluteTime fireDate);

// ---- Observers ----

typedef struct {
  CFIndex version;
  void* info;
  const void* (*retain)(const void* info);
  void (*release)(const void* info);
  CFStringRef (*copyDescription)(const void* info);
} CFRunLoopObserverContext;
typedef void (*CFRunLoopObserverCallBack)(CFRunLoopObserverRef observer, CFRunLoopActivity activity,
                                          void* info);

MORVEX_PLATFORM_API CFTypeID CFRunLoopObserverGetTypeID(void);
// Called at the activities named; lower orders first. An observer that
// does not repeat is invalidated after its first call.
MORVEX_PLATFORM_API CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef allocator,
                                                                 CFOptionFlags activities,
                                                                 Boolean repeats, CFIndex order,
                                                                 CFRunLoopObserverCallBack callout,
                                                                 CFRunLoopObserverContext* context);
MORVEX_PLATFORM_API void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer,
                                              CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer,
                                                 CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer);
MORVEX_PLATFORM_API Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer);

// ---- Sources (made by CFFileDescriptorCreateRunLoopSource) ----

MORVEX_PLATFORM_API CFTypeID CFRunLoopSourceGetTypeID(void);
MORVEX_PLATFORM_API void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source,
                                            CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source,
                                               CFRunLoopMode mode);
MORVEX_PLATFORM_API void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source);
MORVEX_PLATFORM_API Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source);

CF_EXTERN_C_END
