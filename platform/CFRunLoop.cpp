#include "platform/CFRunLoop.h"

#include <memory>

#include "platform/detail/CFStringUtil.h"
#include "platform/detail/RunLoopObjects.h"

using platform_detail::AbsoluteTimeOf;
using platform_detail::As;
using platform_detail::LoopTimeOf;
using platform_detail::RunLoop;
using platform_detail::RunLoopObserver;
using platform_detail::RunLoopSource;
using platform_detail::RunLoopTimer;
using platform_detail::StringValue;

const CFRunLoopMode kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFRunLoopMode kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");

namespace {

// The thread's loop lives until the thread ends, when everything still
// added to it is let go.
struct ThreadLoop {
  RunLoop* loop = nullptr;
  ~ThreadLoop() {
    if (loop) CFRelease(loop->Ref());
  }
};

thread_local ThreadLoop tLoop;

RunLoop* Current() {
  if (!tLoop.loop) tLoop.loop = new RunLoop();
  return tLoop.loop;
}

}  // namespace

CFTypeID CFRunLoopGetTypeID(void) {
  return platform_detail::kRunLoopTypeID;
}

CFRunLoopRef CFRunLoopGetCurrent(void) {
  return Current()->Ref();
}

void CFRunLoopRun(void) {
  SInt32 result;
  do {
    result = Current()->Run("kCFRunLoopDefaultMode", 1e10, false);
  } while (result != kCFRunLoopRunStopped && result != kCFRunLoopRunFinished);
}

SInt32 CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds,
                          Boolean returnAfterSourceHandled) {
  return Current()->Run(StringValue(mode), seconds, returnAfterSourceHandled);
}

void CFRunLoopStop(CFRunLoopRef rl) {
  if (RunLoop* loop = As<RunLoop>(rl)) loop->Stop();
}

void CFRunLoopWakeUp(CFRunLoopRef rl) {
  if (RunLoop* loop = As<RunLoop>(rl)) loop->WakeUp();
}

Boolean CFRunLoopIsWaiting(CFRunLoopRef rl) {
  const RunLoop* loop = As<RunLoop>(rl);
  return loop && loop->IsWaiting();
}

CFRunLoopMode CFRunLoopCopyCurrentMode(CFRunLoopRef rl) {
  const RunLoop* loop = As<RunLoop>(rl);
  const std::string* mode = loop ? loop->CurrentMode() : nullptr;
  return mode ? platform_detail::NewString(*mode) : nullptr;
}

// ---- Timers ----

CFTypeID CFRunLoopTimerGetTypeID(void) {
  return platform_detail::kRunLoopTimerTypeID;
}

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate,
                                       CFTimeInterval interval, CFOptionFlags, CFIndex order,
                                       CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context) {
  if (!callout) return nullptr;
  return (new RunLoopTimer(LoopTimeOf(fireDate), interval, order, callout, context))->Ref();
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopTimer* item = As<RunLoopTimer>(timer);
  if (loop && item && mode) loop->AddTimer(item, StringValue(mode));
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopTimer* item = As<RunLoopTimer>(timer);
  if (!loop || !item || !mode || item->mItem.loop != loop) return;
  const std::string name = StringValue(mode);
  loop->RemoveTimer(item, &name);
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer) {
  RunLoopTimer* item = As<RunLoopTimer>(timer);
  if (!item || !item->mItem.valid) return;
  item->mItem.valid = false;
  if (item->mItem.loop) item->mItem.loop->RemoveTimer(item);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) {
  const RunLoopTimer* item = As<RunLoopTimer>(timer);
  return item && item->mItem.valid;
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer) {
  const RunLoopTimer* item = As<RunLoopTimer>(timer);
  return item ? item->mInterval : 0.0;
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer) {
  const RunLoopTimer* item = As<RunLoopTimer>(timer);
  return item ? AbsoluteTimeOf(item->mFireTime) : 0.0;
}

void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate) {
  if (RunLoopTimer* item = As<RunLoopTimer>(timer)) {
    item->mFireTime = LoopTimeOf(fireDate);
    if (item->mItem.loop) item->mItem.loop->WakeUp();
  }
}

// ---- Observers ----

CFTypeID CFRunLoopObserverGetTypeID(void) {
  return platform_detail::kRunLoopObserverTypeID;
}

CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef, CFOptionFlags activities,
                                             Boolean repeats, CFIndex order,
                                             CFRunLoopObserverCallBack callout,
                                             CFRunLoopObserverContext* context) {
  if (!callout) return nullptr;
  return (new RunLoopObserver(activities, repeats, order, callout, context))->Ref();
}

void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopObserver* item = As<RunLoopObserver>(observer);
  if (loop && item && mode) loop->AddObserver(item, StringValue(mode));
}

void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopObserver* item = As<RunLoopObserver>(observer);
  if (!loop || !item || !mode || item->mItem.loop != loop) return;
  const std::string name = StringValue(mode);
  loop->RemoveObserver(item, &name);
}

void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer) {
  RunLoopObserver* item = As<RunLoopObserver>(observer);
  if (!item || !item->mItem.valid) return;
  item->mItem.valid = false;
  if (item->mItem.loop) item->mItem.loop->RemoveObserver(item);
}

Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer) {
  const RunLoopObserver* item = As<RunLoopObserver>(observer);
  return item && item->mItem.valid;
}

// ---- Sources ----

CFTypeID CFRunLoopSourceGetTypeID(void) {
  return platform_detail::kRunLoopSourceTypeID;
}

void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopSource* item = As<RunLoopSource>(source);
  if (loop && item && mode) loop->AddSource(item, StringValue(mode));
}

void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode) {
  RunLoop* loop = As<RunLoop>(rl);
  RunLoopSource* item = As<RunLoopSource>(source);
  if (!loop || !item || !mode || item->mItem.loop != loop) return;
  const std::string name = StringValue(mode);
  loop->RemoveSource(item, &name);
}

void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source) {
  RunLoopSource* item = As<RunLoopSource>(source);
  if (!item || !item->mItem.valid) return;
  item->mItem.valid = false;
  if (item->mItem.loop) item->mItem.loop->RemoveSource(item);
}

Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source) {
  const RunLoopSource* item = As<RunLoopSource>(source);
  return item && item->mItem.valid;
}
