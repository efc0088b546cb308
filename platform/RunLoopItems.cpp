#include <algorithm>

#include "platform/detail/RunLoopObjects.h"

namespace platform_detail {

bool ModeSet::Contains(const std::string& mode) const {
  return common || std::find(names.begin(), names.end(), mode) != names.end();
}

void ModeSet::Add(const std::string& mode) {
  if (mode == "kCFRunLoopCommonModes") {
    common = true;
  } else if (std::find(names.begin(), names.end(), mode) == names.end()) {
    names.push_back(mode);
  }
}

bool ModeSet::Remove(const std::string& mode) {
  if (mode == "kCFRunLoopCommonModes") {
    common = false;
  } else {
    names.erase(std::remove(names.begin(), names.end(), mode), names.end());
  }
  return common || !names.empty();
}

RunLoopTimer::RunLoopTimer(LoopTime fireTime, CFTimeInterval interval, CFIndex order,
                           CFRunLoopTimerCallBack callout, const CFRunLoopTimerContext* context)
    : CFObject(ClassOf<RunLoopTimer>(), false),
      mFireTime(fireTime),
      mInterval(interval),
      mCallout(callout),
      mContext(context ? *context : CFRunLoopTimerContext{0, nullptr, nullptr, nullptr, nullptr}) {
  mItem.order = order;
  if (mContext.retain) mContext.info = const_cast<void*>(mContext.retain(mContext.info));
}

RunLoopTimer::~RunLoopTimer() {
  if (mContext.release) mContext.release(mContext.info);
}

RunLoopObserver::RunLoopObserver(CFOptionFlags activities, bool repeats, CFIndex order,
                                 CFRunLoopObserverCallBack callout,
                                 const CFRunLoopObserverContext* context)
    : CFObject(ClassOf<RunLoopObserver>(), false),
      mActivities(activities),
      mRepeats(repeats),
      mCallout(callout),
      mContext(context ? *context
                       : CFRunLoopObserverContext{0, nullptr, nullptr, nullptr, nullptr}) {
  mItem.order = order;
  if (mContext.retain) mContext.info = const_cast<void*>(mContext.retain(mContext.info));
}

RunLoopObserver::~RunLoopObserver() {
  if (mContext.release) mContext.release(mContext.info);
}

RunLoopSource::RunLoopSource(FileDescriptor* descriptor, CFIndex order)
    : CFObject(ClassOf<RunLoopSource>(), false), mDescriptor(descriptor) {
  mItem.order = order;
  CFRetain(descriptor->Ref());
}

RunLoopSource::~RunLoopSource() {
  if (mDescriptor->mSource == this) mDescriptor->mSource = nullptr;
  CFRelease(mDescriptor->Ref());
}

}  // namespace platform_detail
