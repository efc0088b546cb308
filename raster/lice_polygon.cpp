#include "raster/lice_polygon.h"

#include <climits>

#include "raster/detail/pixel_rows.h"
#include "raster/lice_fill.h"

namespace {

long long floorDiv(long long n, long long d) {
  return n >= 0 ? n / d : -((-n + d - 1) / d);
}

// floor(a·b / d) for d > 0, 0 <= b <= d and a, b, d differences of two ints.
// Edge intersections are exact, but the product needs up to 66 bits: b is
// split at 2^16 and the division done in two steps that each fit in 64 bits.
long long floorMulDiv(long long a, long long b, long long d) {
  const long long high = a * (b >> 16);
  const long long quotient = floorDiv(high, d);
  const long long rest = (high - quotient * d) * 65536 + a * (b & 0xffff);
  return quotient * 65536 + floorDiv(rest, d);
}

}  // namespace

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode) {
  if (!lice_detail::hasPixels(dest) || !x || !y || npoints < 1) return;
  const int width = dest->getWidth(), height = dest->getHeight();
  long long top = y[0], bottom = y[0];
  for (int i = 1; i < npoints; ++i) {
    if (y[i] < top) top = y[i];
    if (y[i] > bottom) bottom = y[i];
  }
  if (top < 0) top = 0;
  if (bottom > height - 1) bottom = height - 1;

  for (long long row = top; row <= bottom; ++row) {
    // The run between the leftmost and rightmost edge crossing of this row.
    long long lo = 0, hi = -1;
    bool any = false;
    for (int i = 0; i < npoints; ++i) {
      const int j = i + 1 < npoints ? i + 1 : 0;
      const long long x0 = x[i], y0 = y[i], x1 = x[j], y1 = y[j];
      if (row < (y0 < y1 ? y0 : y1) || row > (y0 < y1 ? y1 : y0)) continue;
      long long a, b;
      if (y0 == y1) {
        a = x0 < x1 ? x0 : x1;
        b = x0 < x1 ? x1 : x0;
      } else {
        // The crossing is x0 + (x1 - x0)·along / span, 0 <= along <= span.
        long long along = row - y0, span = y1 - y0;
        if (span < 0) {
          along = -along;
          span = -span;
        }
        a = x0 - floorMulDiv(x0 - x1, along, span);
        b = x0 + floorMulDiv(x1 - x0, along, span);
      }
      if (!any || a < lo) lo = a;
      if (!any || b > hi) hi = b;
      any = true;
    }
    if (!any || hi < lo || hi < 0 || lo > width - 1) continue;
    const int from = lo < 0 ? 0 : static_cast<int>(lo);
    const int to = hi > width - 1 ? width - 1 : static_cast<int>(hi);
    LICE_FillRect(dest, from, static_cast<int>(row), to - from + 1, 1, color, alpha, mode);
  }
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode) {
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}
