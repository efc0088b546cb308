#pragma once

#include <cmath>

#include "raster/detail/combiner_select.h"
#include "raster/detail/pixel_rows.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"

namespace lice_detail {

// Integer pixel bounds of [lo, hi] cut to [0, limit): false when empty. The
// doubles may be huge or infinite; nothing is converted before it is cut.
inline bool pixelRange(double lo, double hi, int limit, int* first, int* last) {
  const double a = std::ceil(lo), b = std::floor(hi);
  if (!(a <= b) || b < 0 || a > limit - 1) return false;
  *first = a < 0 ? 0 : static_cast<int>(a);
  *last = b > limit - 1 ? limit - 1 : static_cast<int>(b);
  return true;
}

// Paints single pixels of a solid shape at a coverage-scaled weight, the
// way lines do: the colour's four channels, the mode's operation with copy
// as the copy formula, the source-alpha bit not used.
template <class Combiner>
struct OutlinePainter {
  const PixelRows& rows;
  int r, g, b, a, w;

  // coverage 0..1
  void operator()(int x, int y, double coverage) const {
    const int cw = static_cast<int>(w * coverage);
    if (cw > 0) Combiner::doPix(chans(rows.at(x, y)), r, g, b, a, cw);
  }
};

// Calls f(OutlinePainter<...>) for the mode; nothing for operations that do
// not draw or a zero weight.
template <class F>
void withOutlinePainter(const PixelRows& rows, LICE_pixel color, float alpha, int mode, F&& f) {
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  withSolidCombiner(mode & LICE_BLIT_MODE_MASK, [&](auto combiner) {
    f(OutlinePainter<decltype(combiner)>{rows, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
                                         LICE_GETA(color), w});
  });
}

// Partly covered pixels at the edge of a filled shape, painted the way
// LICE_FillRect paints a pixel at the reduced weight: red, green and blue of
// the colour with alpha equal to the weight. Copy clamps, as that alpha may
// reach 256.
template <class Combiner>
struct EdgePainter {
  const PixelRows& rows;
  int r, g, b, w;

  void operator()(int x, int y, double coverage) const {
    const int cw = static_cast<int>(w * coverage);
    if (cw > 0) Combiner::doPix(chans(rows.at(x, y)), r, g, b, cw, cw);
  }
};

template <class F>
void withEdgePainter(const PixelRows& rows, LICE_pixel color, float alpha, int mode, F&& f) {
  if (mode & LICE_BLIT_USE_ALPHA)
    alpha = static_cast<float>(alpha * static_cast<float>(LICE_GETA(color)) / 255.0);
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  const int op = mode & LICE_BLIT_MODE_MASK;
  auto call = [&](auto combiner) {
    f(EdgePainter<decltype(combiner)>{rows, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
                                      w});
  };
  if (op == LICE_BLIT_MODE_COPY) {
    call(LICE_CombineCopyClamp());
  } else {
    withSolidCombiner(op, call);
  }
}

}  // namespace lice_detail
