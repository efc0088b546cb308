#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/CFFileDescriptor.h"
#include "platform/CFRunLoop.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/LoopTime.h"

namespace platform_detail {

class RunLoop;

// The modes an item was added in; one added in the common modes takes part
// in every run.
struct ModeSet {
  bool common = false;
  std::vector<std::string> names;

  bool Contains(const std::string& mode) const;
  void Add(const std::string& mode);
  // Whether any mode is left.
  bool Remove(const std::string& mode);
};

// What timers, observers and sources share: the loop that holds them, in
// which modes, and the guard against re-entering a running callback.
struct RunLoopItem {
  RunLoop* loop = nullptr;
  ModeSet modes;
  CFIndex order = 0;
  bool valid = true;
  bool firing = false;
};

class RunLoopTimer final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kRunLoopTimerTypeID;
  RunLoopTimer(LoopTime fireTime, CFTimeInterval interval, CFIndex order,
               CFRunLoopTimerCallBack callout, const CFRunLoopTimerContext* context);
  ~RunLoopTimer();
  CFRunLoopTimerRef Ref() {
    return reinterpret_cast<CFRunLoopTimerRef>(static_cast<CFObject*>(this));
  }

  RunLoopItem mItem;
  LoopTime mFireTime;
  const CFTimeInterval mInterval;
  const CFRunLoopTimerCallBack mCallout;
  CFRunLoopTimerContext mContext;
};

class RunLoopObserver final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kRunLoopObserverTypeID;
  RunLoopObserver(CFOptionFlags activities, bool repeats, CFIndex order,
                  CFRunLoopObserverCallBack callout, const CFRunLoopObserverContext* context);
  ~RunLoopObserver();
  CFRunLoopObserverRef Ref() {
    return reinterpret_cast<CFRunLoopObserverRef>(static_cast<CFObject*>(this));
  }

  RunLoopItem mItem;
  const CFOptionFlags mActivities;
  const bool mRepeats;
  const CFRunLoopObserverCallBack mCallout;
  CFRunLoopObserverContext mContext;
};

class FileDescriptor;

// A source always watches a file descriptor, the only kind this system
// needs. It keeps the descriptor object alive; the descriptor knows its
// source without owning it.
class RunLoopSource final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kRunLoopSourceTypeID;
  RunLoopSource(FileDescriptor* descriptor, CFIndex order);
  ~RunLoopSource();
  CFRunLoopSourceRef Ref() {
    return reinterpret_cast<CFRunLoopSourceRef>(static_cast<CFObject*>(this));
  }

  RunLoopItem mItem;
  FileDescriptor* const mDescriptor;
};

class FileDescriptor final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kFileDescriptorTypeID;
  FileDescriptor(int fd, bool closeOnInvalidate, CFFileDescriptorCallBack callout,
                 const CFFileDescriptorContext* context);
  ~FileDescriptor();
  CFFileDescriptorRef Ref() {
    return reinterpret_cast<CFFileDescriptorRef>(static_cast<CFObject*>(this));
  }
  void Invalidate();

  const int mFd;
  const bool mCloseOnInvalidate;
  const CFFileDescriptorCallBack mCallout;
  CFFileDescriptorContext mContext;
  CFOptionFlags mEnabled = 0;
  bool mValid = true;
  RunLoopSource* mSource = nullptr;
};

class RunLoop final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kRunLoopTypeID;
  RunLoop();
  // Detaches everything still added.
  ~RunLoop();
  CFRunLoopRef Ref() { return reinterpret_cast<CFRunLoopRef>(static_cast<CFObject*>(this)); }

  void AddTimer(RunLoopTimer* timer, const std::string& mode);
  void AddObserver(RunLoopObserver* observer, const std::string& mode);
  void AddSource(RunLoopSource* source, const std::string& mode);
  // Takes the item out of the mode, or out of the loop when no mode is
  // given or none is left.
  void RemoveTimer(RunLoopTimer* timer, const std::string* mode = nullptr);
  void RemoveObserver(RunLoopObserver* observer, const std::string* mode = nullptr);
  void RemoveSource(RunLoopSource* source, const std::string* mode = nullptr);

  SInt32 Run(const std::string& mode, CFTimeInterval seconds, bool returnAfterSourceHandled);
  void Stop();
  void WakeUp();
  bool IsWaiting() const { return mWaiting.load(); }
  // The innermost running mode, or null.
  const std::string* CurrentMode() const;

 private:
  bool HasWork(const std::string& mode) const;
  void Notify(const std::string& mode, CFRunLoopActivity activity);
  void FireTimers(const std::string& mode);
  // The earliest fire time of a timer that may fire in the mode, or a huge
  // value when there is none.
  LoopTime NextFireTime(const std::string& mode) const;
  // Waits up to `seconds` for the mode's descriptors (or a wake-up) and
  // calls back every one that is ready. Whether any was.
  bool HandleSources(const std::string& mode, CFTimeInterval seconds);

  std::vector<RunLoopTimer*> mTimers;  // each retained by the loop
  std::vector<RunLoopObserver*> mObservers;
  std::vector<RunLoopSource*> mSources;
  std::vector<std::string> mRunningModes;  // one per nested run
  int mWakeFd;
  std::atomic<bool> mStopped{false};
  std::atomic<bool> mWaiting{false};
};

}  // namespace platform_detail
