#pragma once

#include <string>
#include <vector>

#include "tools/rtcheck/RtCheck.h"

// The validator's side of libmorvex_rtcheck.so: marks audio calls and reads
// back the forbidden calls made in them, each with its backtrace.
class RtProbe {
 public:
  // The preloaded library's, or null when it is not in the process.
  static const RtProbe* Find();

  // Runs the command again as `morvex validate args` with the library
  // preloaded, unless it already is; returns only then. Throws ToolError when
  // the library cannot be found or did not load.
  static void EnsurePreloaded(const std::vector<std::string>& args);

  // [audio thread] Around each call into the plug-in's audio path.
  void enter() const { mEnter(); }
  void leave() const { mLeave(); }
  // What the heap holds: bytes by the allocator of a sanitizer where one
  // runs (it serves some calls, such as strdup, out of the watch's sight),
  // else the blocks the watch saw allocated and not yet freed.
  struct HeapUse {
    long amount;
    const char* unit;  // "bytes" or "blocks"
    // Growth over `cycles` that is a leak of at least a block a cycle.
    long leakOver(int cycles) const;
  };
  HeapUse heapInUse() const;
  // "" when no audio call made a forbidden call since the last look, else
  // the count, the functions named, and the first one's backtrace.
  std::string takeHits() const;
  // Whether a system call instruction is caught too, not only the C
  // library's functions (the kernel's Syscall User Dispatch).
  bool watchesSystemCalls() const { return mWatchesSystemCalls; }

 private:
  MorvexRtEnterFn mEnter = nullptr;
  MorvexRtLeaveFn mLeave = nullptr;
  MorvexRtTakeFn mTake = nullptr;
  MorvexRtLiveBlocksFn mLiveBlocks = nullptr;
  size_t (*mSanitizerBytes)() = nullptr;
  bool mWatchesSystemCalls = false;
};

// Marks the scope as an audio call.
class AudioCall {
 public:
  explicit AudioCall(const RtProbe* probe) : mProbe(probe) {
    if (mProbe) mProbe->enter();
  }
  ~AudioCall() {
    if (mProbe) mProbe->leave();
  }
  AudioCall(const AudioCall&) = delete;
  AudioCall& operator=(const AudioCall&) = delete;

 private:
  const RtProbe* mProbe;
};
