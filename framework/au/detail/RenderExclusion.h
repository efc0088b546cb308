#pragma once

#include <atomic>

// Keeps a plug-in's render away from what the host is changing. The host's
// side announces the change and then looks for a render in progress; the
// render marks itself and then looks for an announced change. With both in
// sequentially consistent order at least one of them sees the other, so
// either the change is not granted (a render is running) or the render
// that starts meanwhile leaves the changed state alone. Nobody waits.
// Nestable. [UI thread]
class RenderExclusion {
 public:
  RenderExclusion(std::atomic<int>& changes, const std::atomic<bool>& rendering) noexcept
      : mChanges(changes) {
    mChanges.fetch_add(1, std::memory_order_seq_cst);
    mGranted = !rendering.load(std::memory_order_seq_cst);
  }
  ~RenderExclusion() { mChanges.fetch_sub(1, std::memory_order_seq_cst); }
  RenderExclusion(const RenderExclusion&) = delete;
  RenderExclusion& operator=(const RenderExclusion&) = delete;

  bool Granted() const noexcept { return mGranted; }

  // Whether a change is announced. [audio thread], after marking the render.
  static bool Announced(const std::atomic<int>& changes) noexcept {
    return changes.load(std::memory_order_seq_cst) != 0;
  }

 private:
  std::atomic<int>& mChanges;
  bool mGranted;
};
