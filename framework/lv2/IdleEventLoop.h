#pragma once

#include <chrono>
#include <vector>

#include "framework/plugin/IEventLoop.h"

// The editor's loop under an LV2 host: nothing runs between the host's idle
// calls, each of which is one pass (RunFor(0)) that polls the watched
// descriptors and fires the timers that are due. A timer late by more than
// an interval fires once, not once per missed interval. [UI thread]
class IdleEventLoop final : public IEventLoop {
 public:
  int AddTimer(double interval, Callback fire) override;
  int AddWatch(int fd, Callback readable, Buffered buffered = nullptr) override;
  void Remove(int id) override;
  void RunFor(double seconds) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    int id;
    int fd;  // -1 for a timer
    Clock::duration interval;
    Clock::time_point due;
    Callback callback;
    Buffered buffered;
    bool firing;
  };

  // The entry with that id, or null once removed; entries move as others
  // come and go, so callbacks look them up again.
  Entry* Find(int id);
  // Calls what is ready now; true if anything was.
  bool Dispatch(const std::vector<int>& readable);
  // Polls the watches for at most `wait`, returning the ids of readable ones.
  std::vector<int> Poll(Clock::duration wait);

  std::vector<Entry> mEntries;
  int mLastId = 0;
};
