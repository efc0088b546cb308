#include "raster/lice_blur.h"

#include <cstddef>

#include "raster/detail/blit_area.h"
#include "raster/detail/pixel_rows.h"

namespace {

using lice_detail::PixelRows;

// (a + 2b + c) / 4 per channel, rounded, on packed pixels.
LICE_pixel mix121(LICE_pixel a, LICE_pixel b, LICE_pixel c) {
  LICE_pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned v = ((a >> shift) & 255) + 2 * ((b >> shift) & 255) + ((c >> shift) & 255) + 2;
    out |= static_cast<LICE_pixel>(v >> 2) << shift;
  }
  return out;
}

// Blurs n pixels read `step` apart from s into d (same step). The three
// inputs of each output are read before it is written, so d may alias s
// shifted toward lower addresses (backward false) or higher ones (backward
// true), or coincide with it.
void blurLine(const LICE_pixel* s, LICE_pixel* d, ptrdiff_t step, int n, bool backward) {
  if (backward) {
    s += (n - 1) * step;
    d += (n - 1) * step;
    step = -step;
  }
  LICE_pixel prev = *s, cur = *s;
  for (int i = 0; i < n; ++i) {
    const LICE_pixel next = i + 1 < n ? s[(i + 1) * step] : cur;
    d[i * step] = mix121(prev, cur, next);
    prev = cur;
    cur = next;
  }
}

}  // namespace

void LICE_Blur(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch) {
  if (!lice_detail::hasPixels(dest) || !lice_detail::hasPixels(src)) return;
  lice_detail::BlitArea area;
  if (!lice_detail::clipBlit(dest->getWidth(), dest->getHeight(), src->getWidth(), src->getHeight(),
                             dstx, dsty, srcx, srcy, static_cast<long long>(srcx) + srcw,
                             static_cast<long long>(srcy) + srch, &area)) {
    return;
  }
  const PixelRows to(dest), from(src);
  // Across each row from the source into the destination, in an order that
  // reads every source row before an overlapping destination row replaces
  // it; then down each destination column in place.
  const LICE_pixel* s0 = from.at(area.srcX, area.srcY);
  LICE_pixel* d0 = to.at(area.dstX, area.dstY);
  const bool backward = to.base == from.base && d0 > s0;
  const bool rowsUp = to.base == from.base && (to.step > 0) == backward;
  for (int k = 0; k < area.height; ++k) {
    const int j = rowsUp ? area.height - 1 - k : k;
    blurLine(from.at(area.srcX, area.srcY + j), to.at(area.dstX, area.dstY + j), 1, area.width,
             backward);
  }
  for (int i = 0; i < area.width; ++i) {
    LICE_pixel* column = d0 + i;
    blurLine(column, column, to.step, area.height, false);
  }
}
