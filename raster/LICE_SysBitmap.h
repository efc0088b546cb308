#pragma once

#include "raster/LICE_IBitmap.h"

// A bitmap whose pixels belong to a memory drawing context, so that system
// drawing (text) and raster operations work on the same pixels. Storage only
// grows: a smaller size keeps the context and its row span.
class LICE_SysBitmap : public LICE_IBitmap {
 public:
  explicit LICE_SysBitmap(int width = 0, int height = 0);
  ~LICE_SysBitmap() override;

  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() const override { return mBits; }
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override { return mAllocWidth; }
  bool resize(int width, int height) override;
  HDC getDC() const override { return mDC; }

 private:
  int mWidth = 0;
  int mHeight = 0;
  HDC mDC = nullptr;
  LICE_pixel* mBits = nullptr;
  int mAllocWidth = 0;
  int mAllocHeight = 0;
};
