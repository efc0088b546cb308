#include "WDL_HeapBuf.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
constexpr long long kPage = 4096;
constexpr long long kMaxStep = 4194304;  // 4 MiB
// Keeps page-sized allocations clear of the allocator's own block header.
constexpr long long kHeaderRoom = 96;
}  // namespace

WDL_HeapBuf::WDL_HeapBuf(int granularity) : mGranularity(granularity) {}

WDL_HeapBuf::~WDL_HeapBuf() {
  free(mBuf);
}

long long WDL_HeapBuf::AllocationFor(int newSize) const {
  if (newSize < 1) return 0;
  long long step = std::max<long long>(newSize / 2, mGranularity);
  long long allocation;
  if (mGranularity < kPage) {
    allocation = newSize + step;
  } else {
    step = std::clamp(step / kPage * kPage, kPage, kMaxStep);
    allocation = (newSize + step + kHeaderRoom) / kPage * kPage - kHeaderRoom;
  }
  return allocation > INT_MAX ? -1 : allocation;
}

void* WDL_HeapBuf::Resize(int newSize, bool resizeDown) {
  if (newSize < 0) newSize = 0;
  if (newSize == mSize) return Get();

  int threshold = 0;
  if (resizeDown && newSize < mSize) {
    threshold = std::max(1, std::min(mAllocated - 4 * mGranularity, mAllocated / 2));
  }

  if (newSize > mAllocated || newSize < threshold) {
    const long long allocation = AllocationFor(newSize);
    if (allocation < 0) return Get();
    if (allocation != mAllocated) {
      if (allocation < 1) {
        free(mBuf);
        mBuf = nullptr;
        mAllocated = 0;
        mSize = 0;
        return nullptr;
      }
      void* grown = realloc(mBuf, static_cast<size_t>(allocation));
      if (!grown) {
        grown = malloc(static_cast<size_t>(allocation));
        if (!grown) return Get();
        if (mBuf) memcpy(grown, mBuf, static_cast<size_t>(std::min(newSize, mSize)));
        free(mBuf);
      }
      mBuf = grown;
      mAllocated = static_cast<int>(allocation);
    }
  }
  mSize = newSize;
  return Get();
}

void* WDL_HeapBuf::ResizeOK(int newSize, bool resizeDown) {
  void* buf = Resize(newSize, resizeDown);
  return GetSize() == std::max(newSize, 0) ? buf : nullptr;
}
