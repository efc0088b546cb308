#pragma once

#include <cstring>

#include "WDL_HeapBuf.h"

// A list of object pointers. The list never deletes its items by itself: the
// owner empties it with the delete flag before destruction.
template <class T>
class WDL_PtrList {
 public:
  using Disposer = void (*)(void*);

  explicit WDL_PtrList(int granularity = kDefaultGranularity) : mHeap(granularity) {}

  WDL_PtrList(const WDL_PtrList&) = delete;
  WDL_PtrList& operator=(const WDL_PtrList&) = delete;

  T** GetList() const { return static_cast<T**>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / static_cast<int>(sizeof(T*)); }

  T* Get(int index) const {
    T** list = GetList();
    return list && index >= 0 && index < GetSize() ? list[index] : nullptr;
  }

  T* Set(int index, T* item) {
    if (index < 0 || index >= GetSize()) return nullptr;
    GetList()[index] = item;
    return item;
  }

  T* Add(T* item) {
    const int count = GetSize();
    if (!Grow(count + 1)) return nullptr;
    return Set(count, item);
  }

  // The index is clamped into 0..count.
  T* Insert(int index, T* item) {
    const int count = GetSize();
    if (index < 0) index = 0;
    if (index > count) index = count;
    if (!Grow(count + 1)) return nullptr;
    T** list = GetList();
    memmove(list + index + 1, list + index, static_cast<size_t>(count - index) * sizeof(T*));
    list[index] = item;
    return item;
  }

  int Find(const T* item) const {
    for (int i = 0; i < GetSize(); ++i) {
      if (GetList()[i] == item) return i;
    }
    return -1;
  }

  void Delete(int index, bool wantDelete = false, Disposer deleteFunc = nullptr) {
    const int count = GetSize();
    if (index < 0 || index >= count) return;
    T** list = GetList();
    if (wantDelete) Dispose(list[index], deleteFunc);
    memmove(list + index, list + index + 1, static_cast<size_t>(count - index - 1) * sizeof(T*));
    mHeap.Resize((count - 1) * static_cast<int>(sizeof(T*)), false);
  }

  // Disposes from the last item to the first; the list is cut before each
  // disposal so that a disposer looking at the list no longer sees its item.
  void Empty(bool wantDelete = false, Disposer deleteFunc = nullptr) {
    if (wantDelete) {
      for (int i = GetSize() - 1; i >= 0; --i) {
        T* item = GetList()[i];
        mHeap.Resize(i * static_cast<int>(sizeof(T*)), false);
        if (item) Dispose(item, deleteFunc);
      }
    }
    mHeap.Resize(0, false);
  }

 private:
  bool Grow(int count) {
    return mHeap.ResizeOK(count * static_cast<int>(sizeof(T*)), false) != nullptr;
  }

  static void Dispose(T* item, Disposer deleteFunc) {
    if (deleteFunc) {
      deleteFunc(item);
    } else {
      delete item;
    }
  }

  WDL_HeapBuf mHeap;
};
