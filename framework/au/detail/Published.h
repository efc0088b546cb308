#pragma once

#include <atomic>
#include <memory>

#include "framework/au/detail/RenderReaders.h"

// A value the render reads without a lock: writers build a complete new
// value and swap it in; the render sees the old or the new one whole, and
// the old one is retired until no render can still hold it.
template <typename T>
class Published {
 public:
  explicit Published(std::unique_ptr<T> initial = std::make_unique<T>())
      : mCurrent(initial.release()) {}
  // Nothing renders an object that is being destroyed.
  ~Published() { delete mCurrent.load(std::memory_order_relaxed); }
  Published(const Published&) = delete;
  Published& operator=(const Published&) = delete;

  // [audio thread] inside a RenderReaders::Scope, or [UI thread] by the
  // writer. No lock, no allocation.
  const T& Get() const noexcept { return *mCurrent.load(std::memory_order_seq_cst); }

  // Writers are serialised by the caller (the plug-in's mutex). [UI thread]
  void Publish(std::unique_ptr<T> next) {
    RenderReaders::Retire(mCurrent.exchange(next.release(), std::memory_order_seq_cst));
  }
  // A copy of the current value changed by edit, published. [UI thread]
  template <typename Edit>
  void Update(Edit edit) {
    auto next = std::make_unique<T>(Get());
    edit(*next);
    Publish(std::move(next));
  }

 private:
  std::atomic<const T*> mCurrent;
};
