#pragma once

#include <climits>
#include <cstring>
#include <type_traits>

#include "WDL_HeapBuf.h"

// A growable array of plain values over WDL_HeapBuf; elements are moved with
// memmove, so the element type must be trivially copyable.
template <class T>
class WDL_TypedBuf {
  static_assert(std::is_trivially_copyable<T>::value, "WDL_TypedBuf holds plain values");

 public:
  explicit WDL_TypedBuf(int granularity = kDefaultGranularity) : mHeap(granularity) {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / static_cast<int>(sizeof(T)); }

  // A count whose byte size does not fit the buffer is a failed allocation.
  T* Resize(int count, bool resizeDown = true) {
    if (count > INT_MAX / static_cast<int>(sizeof(T))) return Get();
    return static_cast<T*>(mHeap.Resize(count * static_cast<int>(sizeof(T)), resizeDown));
  }
  T* ResizeOK(int count, bool resizeDown = true) {
    T* p = Resize(count, resizeDown);
    return GetSize() == (count < 0 ? 0 : count) ? p : nullptr;
  }

  T* Add(const T& item) { return Insert(item, GetSize()); }

  // Index 0..count inclusive; anything else, or a failed growth, gives null.
  T* Insert(const T& item, int index) {
    const int count = GetSize();
    if (index < 0 || index > count) return nullptr;
    const T copy = item;  // item may live inside this buffer, which may move
    T* p = ResizeOK(count + 1);
    if (!p) return nullptr;
    memmove(static_cast<void*>(p + index + 1), static_cast<const void*>(p + index),
            static_cast<size_t>(count - index) * sizeof(T));
    memcpy(static_cast<void*>(p + index), static_cast<const void*>(&copy), sizeof(T));
    return p + index;
  }

  WDL_HeapBuf* GetHeapBuf() { return &mHeap; }
  const WDL_HeapBuf* GetHeapBuf() const { return &mHeap; }

 private:
  WDL_HeapBuf mHeap;
};
