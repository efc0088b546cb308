#include "raster/LICE_MemBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uintptr_t kRowAlignBytes = 64;
constexpr unsigned int kMaxLineAlignment = 64;

unsigned char* alignedStart(unsigned char* buffer) {
  const uintptr_t p = reinterpret_cast<uintptr_t>(buffer);
  return buffer + (((p + kRowAlignBytes - 1) & ~(kRowAlignBytes - 1)) - p);
}

}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int width, int height, unsigned int lineAlignment) {
  if (lineAlignment >= 2) {
    unsigned int lowest = lineAlignment & (~lineAlignment + 1);
    // Wider padding buys nothing and would make the row span overflow sooner.
    if (lowest > kMaxLineAlignment) lowest = kMaxLineAlignment;
    mLineAlignMask = static_cast<int>(lowest - 1);
  }
  if (width >= 1 && height >= 1) resize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap() {
  free(mBuffer);
}

LICE_pixel* LICE_MemBitmap::getBits() const {
  return mBuffer ? reinterpret_cast<LICE_pixel*>(alignedStart(mBuffer)) : nullptr;
}

int LICE_MemBitmap::getRowSpan() const {
  // A non-zero width always has storage (see resize), so the span is small.
  const long long span = (static_cast<long long>(mWidth) + mLineAlignMask) & ~mLineAlignMask;
  return span > INT_MAX ? INT_MAX : static_cast<int>(span);
}

bool LICE_MemBitmap::resize(int width, int height) {
  // A negative size would reach callers' loops and multiplications; none
  // means the same as empty.
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;

  if (width < 1 || height < 1) {
    free(mBuffer);
    mBuffer = nullptr;
    mAllocated = 0;
    return true;
  }
  const long long span = (static_cast<long long>(width) + mLineAlignMask) & ~mLineAlignMask;
  // Pixel offsets are computed in int throughout the raster code, so a
  // larger bitmap is treated as an allocation failure.
  const bool tooLarge = span > INT_MAX / 4 / height;
  const long long bytes = tooLarge ? 0 : span * height * 4;
  if (tooLarge) {
    free(mBuffer);
    mBuffer = nullptr;
    mAllocated = 0;
  } else if (!mBuffer) {
    mBuffer = static_cast<unsigned char*>(malloc(static_cast<size_t>(bytes) + kRowAlignBytes - 1));
    mAllocated = mBuffer ? static_cast<size_t>(bytes) : 0;
  } else if (mAllocated < static_cast<size_t>(bytes)) {
    const size_t grown = static_cast<size_t>(bytes) + static_cast<size_t>(bytes) / 4;
    const size_t oldOffset = static_cast<size_t>(alignedStart(mBuffer) - mBuffer);
    unsigned char* moved =
        static_cast<unsigned char*>(realloc(mBuffer, grown + kRowAlignBytes - 1));
    if (moved) {
      // realloc keeps bytes at the same offset from the block start, but the
      // 64-byte boundary may now lie elsewhere: move the kept pixels with it.
      const size_t newOffset = static_cast<size_t>(alignedStart(moved) - moved);
      if (newOffset != oldOffset) memmove(moved + newOffset, moved + oldOffset, mAllocated);
      mBuffer = moved;
      mAllocated = grown;
    } else {
      free(mBuffer);
      mBuffer =
          static_cast<unsigned char*>(malloc(static_cast<size_t>(bytes) + kRowAlignBytes - 1));
      mAllocated = mBuffer ? static_cast<size_t>(bytes) : 0;
    }
  }
  if (!mBuffer) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
