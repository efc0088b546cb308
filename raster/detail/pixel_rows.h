#pragma once

#include <cstddef>

#include "raster/LICE_IBitmap.h"

namespace lice_detail {

// Row addressing that hides isFlipped(): row r of a flipped bitmap is storage
// row height - 1 - r, reached with a negated row step.
struct PixelRows {
  explicit PixelRows(const LICE_IBitmap* bm)
      : base(bm->getBits()),
        step(bm->getRowSpan()),
        width(bm->getWidth()),
        height(bm->getHeight()) {
    if (bm->isFlipped() && base && height > 0) {
      base += static_cast<ptrdiff_t>(height - 1) * step;
      step = -step;
    }
  }

  LICE_pixel* at(int x, int y) const { return base + static_cast<ptrdiff_t>(y) * step + x; }

  LICE_pixel* base;
  ptrdiff_t step;  // pixels from one row to the next, negative when flipped
  int width;
  int height;
};

// Whether a bitmap can be drawn on or read from at all.
inline bool hasPixels(const LICE_IBitmap* bm) {
  return bm && bm->getBits() && bm->getWidth() > 0 && bm->getHeight() > 0;
}

inline LICE_pixel_chan* chans(LICE_pixel* p) {
  return reinterpret_cast<LICE_pixel_chan*>(p);
}
inline const LICE_pixel_chan* chans(const LICE_pixel* p) {
  return reinterpret_cast<const LICE_pixel_chan*>(p);
}

}  // namespace lice_detail
