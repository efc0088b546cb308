#include "raster/LICE_SysBitmap.h"

#include <climits>

#include "framework/window/gdi/MemContext.h"

LICE_SysBitmap::LICE_SysBitmap(int width, int height) {
  resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() {
  SWELL_DeleteGfxContext(mDC);
}

bool LICE_SysBitmap::resize(int width, int height) {
  // A negative size would reach callers' loops and multiplications; none
  // means the same as empty.
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;
  if (width && height && width <= mAllocWidth && height <= mAllocHeight && mBits) return true;

  // Rows of the context are 4-pixel multiples; the rounding cannot overflow
  // past INT_MAX because the context refuses sizes that large anyway.
  const long long rounded = (static_cast<long long>(width) + 3) & ~3LL;
  mAllocWidth = rounded > INT_MAX ? INT_MAX : static_cast<int>(rounded);
  mAllocHeight = height;
  SWELL_DeleteGfxContext(mDC);
  mDC = nullptr;
  mBits = nullptr;
  if (mAllocWidth < 1 || mAllocHeight < 1) return false;

  mDC = SWELL_CreateMemContext(nullptr, mAllocWidth, mAllocHeight);
  if (mDC) mBits = static_cast<LICE_pixel*>(SWELL_GetCtxFrameBuffer(mDC));
  if (!mBits) {
    SWELL_DeleteGfxContext(mDC);
    mDC = nullptr;
    mWidth = 0;
    mHeight = 0;
    mAllocWidth = 0;
    mAllocHeight = 0;
  }
  return true;
}
