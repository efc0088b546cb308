#pragma once

#include <cstdint>

#include "framework/window/gdi/GdiTypes.h"
#include "raster/lice_pixel.h"

// A 32-bit raster surface. The slot order of the virtual operations is fixed:
// code built against one bitmap class calls another through it.
//
// A bitmap is used by one thread at a time; raster operations on different
// bitmaps may run on different threads.
class LICE_IBitmap {
 public:
  virtual ~LICE_IBitmap() {}

  // The first pixel of row 0, or null when the bitmap has no storage.
  virtual LICE_pixel* getBits() const = 0;
  virtual int getWidth() const = 0;
  virtual int getHeight() const = 0;
  // Pixels between the starts of consecutive rows; at least the width.
  virtual int getRowSpan() const = 0;
  // True when rows are stored bottom-up: row r then lives at storage row
  // height - 1 - r, and every operation that addresses rows honours it.
  virtual bool isFlipped() const { return false; }
  // True when the size changed.
  virtual bool resize(int width, int height) = 0;
  // The system drawing context behind the pixels, if any.
  virtual HDC getDC() const { return nullptr; }
  virtual intptr_t Extended(int /*id*/, void* /*data*/) { return 0; }
};
