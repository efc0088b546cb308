#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>

#include "platform/detail/RunLoopObjects.h"

namespace platform_detail {
namespace {

constexpr LoopTime kDistantFuture = 1e18;

// The loop's own vectors may change inside any callback, so each pass
// works on retained copies.
template <class T>
class Snapshot {
 public:
  explicit Snapshot(std::vector<T*> items) : mItems(std::move(items)) {
    for (T* item : mItems)
      CFRetain(item->Ref());
  }
  ~Snapshot() {
    for (T* item : mItems)
      CFRelease(item->Ref());
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  std::vector<T*>& Items() { return mItems; }

 private:
  std::vector<T*> mItems;
};

template <class T>
void Insert(std::vector<T*>& items, T* item, RunLoop* loop, const std::string& mode) {
  if (item->mItem.loop && item->mItem.loop != loop) return;
  if (!item->mItem.valid) return;
  item->mItem.modes.Add(mode);
  if (item->mItem.loop) return;
  item->mItem.loop = loop;
  CFRetain(item->Ref());
  // Lower orders first; equal orders keep the order they were added in.
  auto at = std::upper_bound(items.begin(), items.end(), item, [](const T* a, const T* b) {
    return a->mItem.order < b->mItem.order;
  });
  items.insert(at, item);
}

template <class T>
void Erase(std::vector<T*>& items, T* item, const std::string* mode) {
  if (mode && item->mItem.modes.Remove(*mode)) return;
  auto found = std::find(items.begin(), items.end(), item);
  if (found == items.end()) return;
  items.erase(found);
  item->mItem.loop = nullptr;
  item->mItem.modes = ModeSet();
  CFRelease(item->Ref());
}

template <class T>
bool TakesPart(const T* item, const std::string& mode) {
  return item->mItem.valid && !item->mItem.firing && item->mItem.modes.Contains(mode);
}

}  // namespace

RunLoop::RunLoop()
    : CFObject(ClassOf<RunLoop>(), false), mWakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

RunLoop::~RunLoop() {
  while (!mTimers.empty())
    RemoveTimer(mTimers.back());
  while (!mObservers.empty())
    RemoveObserver(mObservers.back());
  while (!mSources.empty())
    RemoveSource(mSources.back());
  if (mWakeFd >= 0) close(mWakeFd);
}

void RunLoop::AddTimer(RunLoopTimer* timer, const std::string& mode) {
  Insert(mTimers, timer, this, mode);
}

void RunLoop::AddObserver(RunLoopObserver* observer, const std::string& mode) {
  Insert(mObservers, observer, this, mode);
}

void RunLoop::AddSource(RunLoopSource* source, const std::string& mode) {
  Insert(mSources, source, this, mode);
}

void RunLoop::RemoveTimer(RunLoopTimer* timer, const std::string* mode) {
  Erase(mTimers, timer, mode);
}

void RunLoop::RemoveObserver(RunLoopObserver* observer, const std::string* mode) {
  Erase(mObservers, observer, mode);
}

void RunLoop::RemoveSource(RunLoopSource* source, const std::string* mode) {
  Erase(mSources, source, mode);
}

const std::string* RunLoop::CurrentMode() const {
  return mRunningModes.empty() ? nullptr : &mRunningModes.back();
}

void RunLoop::Stop() {
  mStopped.store(true);
  WakeUp();
}

void RunLoop::WakeUp() {
  const uint64_t one = 1;
  if (mWakeFd >= 0 && write(mWakeFd, &one, sizeof one) < 0) {
    // The counter is full, so a wake-up is pending anyway.
  }
}

bool RunLoop::HasWork(const std::string& mode) const {
  for (const RunLoopTimer* timer : mTimers) {
    if (timer->mItem.valid && timer->mItem.modes.Contains(mode)) return true;
  }
  for (const RunLoopSource* source : mSources) {
    if (source->mItem.valid && source->mItem.modes.Contains(mode)) return true;
  }
  return false;
}

void RunLoop::Notify(const std::string& mode, CFRunLoopActivity activity) {
  Snapshot<RunLoopObserver> observers(mObservers);
  for (RunLoopObserver* observer : observers.Items()) {
    if (!(observer->mActivities & activity) || !TakesPart(observer, mode)) continue;
    observer->mItem.firing = true;
    observer->mCallout(observer->Ref(), activity, observer->mContext.info);
    observer->mItem.firing = false;
    if (!observer->mRepeats) CFRunLoopObserverInvalidate(observer->Ref());
  }
}

void RunLoop::FireTimers(const std::string& mode) {
  std::vector<RunLoopTimer*> due;
  const LoopTime now = LoopTimeNow();
  for (RunLoopTimer* timer : mTimers) {
    if (TakesPart(timer, mode) && timer->mFireTime <= now) due.push_back(timer);
  }
  if (due.empty()) return;
  std::stable_sort(due.begin(), due.end(), [](const RunLoopTimer* a, const RunLoopTimer* b) {
    return a->mFireTime < b->mFireTime;
  });
  Snapshot<RunLoopTimer> timers(std::move(due));
  for (RunLoopTimer* timer : timers.Items()) {
    // An earlier callback may have invalidated it, or be running it.
    if (!TakesPart(timer, mode)) continue;
    const LoopTime scheduled = timer->mFireTime;
    timer->mItem.firing = true;
    timer->mCallout(timer->Ref(), timer->mContext.info);
    timer->mItem.firing = false;
    if (!timer->mItem.valid) continue;
    if (timer->mInterval <= 0) {
      CFRunLoopTimerInvalidate(timer->Ref());
    } else if (timer->mFireTime == scheduled) {
      // The next multiple of the interval after now: a slow callback or a
      // long nested run skips fires instead of bunching them up.
      const LoopTime after = LoopTimeNow();
      const double missed = std::floor((after - scheduled) / timer->mInterval);
      timer->mFireTime = scheduled + (std::max(missed, 0.0) + 1.0) * timer->mInterval;
    }
  }
}

LoopTime RunLoop::NextFireTime(const std::string& mode) const {
  LoopTime next = kDistantFuture;
  for (const RunLoopTimer* timer : mTimers) {
    if (TakesPart(timer, mode)) next = std::min(next, timer->mFireTime);
  }
  return next;
}

bool RunLoop::HandleSources(const std::string& mode, CFTimeInterval seconds) {
  std::vector<RunLoopSource*> watched;
  std::vector<pollfd> fds;
  fds.push_back({mWakeFd, POLLIN, 0});
  for (RunLoopSource* source : mSources) {
    const FileDescriptor* descriptor = source->mDescriptor;
    if (!TakesPart(source, mode) || !descriptor->mValid || !descriptor->mEnabled) continue;
    short events = 0;
    if (descriptor->mEnabled & kCFFileDescriptorReadCallBack) events |= POLLIN;
    if (descriptor->mEnabled & kCFFileDescriptorWriteCallBack) events |= POLLOUT;
    watched.push_back(source);
    fds.push_back({descriptor->mFd, events, 0});
  }
  const double ms = std::ceil(std::max(seconds, 0.0) * 1000.0);
  const int timeout = ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
  if (timeout > 0) mWaiting.store(true);
  const int ready = poll(fds.data(), fds.size(), timeout);
  mWaiting.store(false);
  if (ready <= 0) return false;
  if (fds[0].revents) {
    uint64_t count;
    if (read(mWakeFd, &count, sizeof count) < 0) {
      // Nothing pending after all.
    }
  }

  bool handled = false;
  Snapshot<RunLoopSource> sources(watched);
  for (size_t i = 0; i < watched.size(); ++i) {
    const short revents = fds[i + 1].revents;
    RunLoopSource* source = watched[i];
    FileDescriptor* descriptor = source->mDescriptor;
    if (!revents || !source->mItem.valid || !descriptor->mValid) continue;
    CFOptionFlags types = 0;
    // A hang-up or error counts as readable so that the reader sees it.
    if (revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) types |= kCFFileDescriptorReadCallBack;
    if (revents & (POLLOUT | POLLERR)) types |= kCFFileDescriptorWriteCallBack;
    types &= descriptor->mEnabled;
    if (!types) continue;
    descriptor->mEnabled &= ~types;  // one-shot, as the callback must re-enable
    handled = true;
    if (descriptor->mCallout)
      descriptor->mCallout(descriptor->Ref(), types, descriptor->mContext.info);
  }
  return handled;
}

SInt32 RunLoop::Run(const std::string& mode, CFTimeInterval seconds,
                    bool returnAfterSourceHandled) {
  if (mStopped.exchange(false)) return kCFRunLoopRunStopped;
  if (!HasWork(mode)) return kCFRunLoopRunFinished;
  const LoopTime deadline = LoopTimeNow() + std::min(std::max(seconds, 0.0), kDistantFuture);
  CFRetain(Ref());  // a callback may drop the last reference to the loop
  mRunningModes.push_back(mode);
  Notify(mode, kCFRunLoopEntry);
  SInt32 result = 0;
  while (!result) {
    Notify(mode, kCFRunLoopBeforeTimers);
    FireTimers(mode);
    Notify(mode, kCFRunLoopBeforeSources);
    bool handled = HandleSources(mode, 0);
    if (!handled) {
      // Announced at every pass that found nothing, even one about to
      // return because its time is up: a connection that buffers input
      // (Xlib) must be drained by hosts that only ever poll the loop.
      Notify(mode, kCFRunLoopBeforeWaiting);
      const LoopTime now = LoopTimeNow();
      if (!mStopped.load() && now < deadline && HasWork(mode)) {
        handled = HandleSources(mode, std::min(deadline, NextFireTime(mode)) - now);
        Notify(mode, kCFRunLoopAfterWaiting);
        FireTimers(mode);
      }
    }
    if (handled && returnAfterSourceHandled) {
      result = kCFRunLoopRunHandledSource;
    } else if (mStopped.exchange(false)) {
      result = kCFRunLoopRunStopped;
    } else if (!HasWork(mode)) {
      result = kCFRunLoopRunFinished;
    } else if (LoopTimeNow() >= deadline) {
      result = kCFRunLoopRunTimedOut;
    }
  }
  Notify(mode, kCFRunLoopExit);
  mRunningModes.pop_back();
  CFRelease(Ref());
  return result;
}

}  // namespace platform_detail
