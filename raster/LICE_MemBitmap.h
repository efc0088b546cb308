#pragma once

#include <cstddef>

#include "raster/LICE_IBitmap.h"

// A bitmap in plain heap memory. Rows start 64-byte aligned and are padded to
// the line alignment; growth reserves a quarter more than asked so that small
// repeated enlargements do not reallocate, and storage is never shrunk by a
// resize to a smaller non-zero size. Pixel contents are never cleared.
class LICE_MemBitmap : public LICE_IBitmap {
 public:
  // Alignment in pixels: rows are padded to a multiple of its lowest set bit
  // (at most 64); below 2 means no padding.
  explicit LICE_MemBitmap(int width = 0, int height = 0, unsigned int lineAlignment = 4);
  ~LICE_MemBitmap() override;

  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() const override;
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override;
  bool resize(int width, int height) override;

  // Bytes of pixel storage held (without the alignment slack).
  size_t getAllocatedSize() const { return mAllocated; }

 private:
  unsigned char* mBuffer = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  size_t mAllocated = 0;
  int mLineAlignMask = 0;
};
