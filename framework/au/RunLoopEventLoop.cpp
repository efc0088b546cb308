#include "framework/au/RunLoopEventLoop.h"

#include <poll.h>

#include <map>
#include <memory>
#include <mutex>

#include "platform/CFFileDescriptor.h"
#include "platform/CFRunLoop.h"

namespace {

// One timer or watch; its address is the run loop's context pointer.
struct Entry {
  IEventLoop::Callback callback;
  IEventLoop::Buffered buffered;
  CFRunLoopTimerRef timer = nullptr;
  CFFileDescriptorRef descriptor = nullptr;
  CFRunLoopSourceRef source = nullptr;
  CFRunLoopObserverRef observer = nullptr;
  // Held through each callout, which may remove the entry.
  std::weak_ptr<Entry> self;

  ~Entry() {
    if (timer) {
      CFRunLoopTimerInvalidate(timer);
      CFRelease(timer);
    }
    if (observer) {
      CFRunLoopObserverInvalidate(observer);
      CFRelease(observer);
    }
    if (descriptor) {
      CFFileDescriptorInvalidate(descriptor);
      CFRelease(source);
      CFRelease(descriptor);
    }
  }
};

// The entry's callback, kept alive until it returns: the callback may
// remove the entry, and the function object with it.
void Call(Entry* entry) {
  const std::shared_ptr<Entry> keep = entry->self.lock();
  if (keep) keep->callback();
}

// The run loop never fires a timer inside its own callout.
void TimerFired(CFRunLoopTimerRef, void* info) {
  Call(static_cast<Entry*>(info));
}

void Readable(CFFileDescriptorRef f, CFOptionFlags, void* info) {
  // Re-armed first: the callback may run a nested loop (a menu) that must
  // hear the descriptor too.
  CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
  Call(static_cast<Entry*>(info));
}

void BeforeWaiting(CFRunLoopObserverRef, CFRunLoopActivity, void* info) {
  auto* entry = static_cast<Entry*>(info);
  if (entry->buffered()) Call(entry);
}

class RunLoopEventLoop final : public IEventLoop {
 public:
  int AddTimer(double interval, Callback fire) override {
    auto entry = std::make_shared<Entry>();
    entry->self = entry;
    entry->callback = std::move(fire);
    CFRunLoopTimerContext context = {0, entry.get(), nullptr, nullptr, nullptr};
    entry->timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + interval, interval, 0,
                                        0, TimerFired, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), entry->timer, kCFRunLoopCommonModes);
    return Keep(std::move(entry));
  }

  int AddWatch(int fd, Callback readable, Buffered buffered) override {
    auto entry = std::make_shared<Entry>();
    entry->self = entry;
    entry->callback = std::move(readable);
    entry->buffered = std::move(buffered);
    CFRunLoopRef loop = CFRunLoopGetCurrent();
    CFFileDescriptorContext fdContext = {0, entry.get(), nullptr, nullptr, nullptr};
    entry->descriptor = CFFileDescriptorCreate(nullptr, fd, false, Readable, &fdContext);
    if (!entry->descriptor) return 0;
    entry->source = CFFileDescriptorCreateRunLoopSource(nullptr, entry->descriptor, 0);
    CFRunLoopAddSource(loop, entry->source, kCFRunLoopCommonModes);
    CFFileDescriptorEnableCallBacks(entry->descriptor, kCFFileDescriptorReadCallBack);
    if (entry->buffered) {
      CFRunLoopObserverContext observerContext = {0, entry.get(), nullptr, nullptr, nullptr};
      entry->observer = CFRunLoopObserverCreate(nullptr, kCFRunLoopBeforeWaiting, true, 0,
                                                BeforeWaiting, &observerContext);
      CFRunLoopAddObserver(loop, entry->observer, kCFRunLoopCommonModes);
    }
    return Keep(std::move(entry));
  }

  void Remove(int id) override {
    std::shared_ptr<Entry> entry;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      auto found = mEntries.find(id);
      if (found == mEntries.end()) return;
      entry = std::move(found->second);
      mEntries.erase(found);
    }
    // Invalidated outside the lock, or after its own callout returns.
    entry.reset();
  }

  void RunFor(double seconds) override {
    // A loop with nothing in it returns at once; the wait is kept anyway.
    if (CFRunLoopRunInMode(kCFRunLoopDefaultMode, seconds, true) == kCFRunLoopRunFinished &&
        seconds > 0) {
      poll(nullptr, 0, static_cast<int>(seconds * 1000));
    }
  }

 private:
  int Keep(std::shared_ptr<Entry> entry) {
    std::lock_guard<std::mutex> lock(mMutex);
    const int id = ++mLastId;
    mEntries.emplace(id, std::move(entry));
    return id;
  }

  std::mutex mMutex;
  int mLastId = 0;
  std::map<int, std::shared_ptr<Entry>> mEntries;
};

}  // namespace

IEventLoop& PlatformRunLoop() {
  static RunLoopEventLoop loop;
  return loop;
}
