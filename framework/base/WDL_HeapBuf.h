#pragma once

// A growable byte buffer with an allocation granularity.
//
// Growth adds headroom (half the requested size, at least the granularity) so
// that repeated small growths do not each reach the allocator, and shrinking
// keeps the memory unless asked to give it back below a threshold; code on the
// audio thread relies on resizing to the same or a smaller size never
// allocating. A failed allocation leaves size and contents unchanged.
// A page: small buffers then cost one allocation of a page's worth.
constexpr int kDefaultGranularity = 4096;

class WDL_HeapBuf {
 public:
  explicit WDL_HeapBuf(int granularity = kDefaultGranularity);
  ~WDL_HeapBuf();

  WDL_HeapBuf(const WDL_HeapBuf&) = delete;
  WDL_HeapBuf& operator=(const WDL_HeapBuf&) = delete;

  // Returns the buffer after the change, null when the logical size is 0.
  void* Resize(int newSize, bool resizeDown = true);
  // As Resize, but null unless the logical size now equals newSize.
  void* ResizeOK(int newSize, bool resizeDown = true);

  void* Get() const { return mSize ? mBuf : nullptr; }
  int GetSize() const { return mSize; }
  int GetAllocatedSize() const { return mAllocated; }
  int GetGranularity() const { return mGranularity; }

 private:
  // Allocation size for a buffer that must hold newSize bytes, or a negative
  // value when that size cannot be represented.
  long long AllocationFor(int newSize) const;

  void* mBuf = nullptr;
  int mAllocated = 0;
  int mSize = 0;
  const int mGranularity;
};
