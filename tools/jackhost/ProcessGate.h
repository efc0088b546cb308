#pragma once

#include <atomic>

// Lets a thread change what the process callback works on without the
// callback ever waiting for it: while the gate is shut the callback passes
// it by, and shutting it waits for a callback already through to come out.
class ProcessGate {
 public:
  // [audio thread] true when the caller went through and must leave().
  bool enter() noexcept {
    mInside.fetch_add(1);
    if (mOpen.load()) return true;
    mInside.fetch_sub(1);
    return false;
  }
  // [audio thread]
  void leave() noexcept { mInside.fetch_sub(1); }

  // [any thread but the audio thread] Returns once no callback is through.
  void shut();
  void open() noexcept { mOpen.store(true); }

 private:
  // Sequentially consistent on both sides, so that either the callback sees
  // the gate shut or shut() sees the callback inside.
  std::atomic<bool> mOpen{false};
  std::atomic<int> mInside{0};
};
