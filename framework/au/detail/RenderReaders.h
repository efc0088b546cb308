#pragma once

#include <atomic>

// Renders in progress anywhere in the process, and the memory that must
// outlive them. What a render reads without a lock (a published list, a
// routing snapshot, a closed unit another unit still pulls) is retired
// instead of deleted, and freed once no render is running: a render that
// began before the retirement may still hold it, none that begins after can
// reach it.
class RenderReaders {
 public:
  // Held for the length of a render. [audio thread] No lock, no allocation.
  class Scope {
   public:
    Scope() noexcept { Count().fetch_add(1, std::memory_order_seq_cst); }
    ~Scope() { Count().fetch_sub(1, std::memory_order_seq_cst); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
  };

  // Deletes the object once no render is running: at once when none is, else
  // on a later Retire or Reclaim. [UI thread]
  template <typename T>
  static void Retire(const T* object) {
    if (object) Retire(const_cast<T*>(object), [](void* p) { delete static_cast<T*>(p); });
  }
  // Frees what was retired, when no render is running. [UI thread]
  static void Reclaim();

 private:
  static std::atomic<int>& Count() noexcept;
  static void Retire(void* object, void (*destroy)(void*));
};
