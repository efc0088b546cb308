#include "raster/lice_line.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "raster/detail/combiner_select.h"
#include "raster/detail/pixel_rows.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"
#include "raster/lice_fill.h"

namespace {

// Rows in storage order, whatever isFlipped() says.
struct StorageRows {
  LICE_pixel* bits;
  ptrdiff_t step;
  LICE_pixel* at(int x, int y) const { return bits + static_cast<ptrdiff_t>(y) * step + x; }
};

int outCode(long long x, long long y, int width, int height) {
  int code = 0;
  if (x < 0) {
    code |= 1;
  } else if (x >= width) {
    code |= 2;
  }
  if (y < 0) {
    code |= 4;
  } else if (y >= height) {
    code |= 8;
  }
  return code;
}

// The fast whole-pixel weight for a copy at exactly 1.0, 0.5, 0.25 or 0.75,
// else 0.
int fastCopyWeight(float alpha, int op) {
  if (op != LICE_BLIT_MODE_COPY) return 0;
  if (alpha == 1.0f) return 256;
  if (alpha == 0.5f) return 128;
  if (alpha == 0.25f) return 64;
  if (alpha == 0.75f) return 192;
  return 0;
}

// The colour as the combine operations take it.
struct LinePaint {
  LICE_pixel color;
  int r, g, b, a;

  template <class Combiner>
  void at(LICE_pixel* p, int w) const {
    if (w > 0) Combiner::doPix(lice_detail::chans(p), r, g, b, a, w);
  }
};

// n pixels from p on, each `step` pixels further.
// fast: the whole-pixel weight from fastCopyWeight, or 0.
void drawRun(LICE_pixel* p, ptrdiff_t step, int n, const LinePaint& paint, int fast, int w,
             int op) {
  if (fast) {
    const LICE_SolidMix mix(paint.color);
    for (int k = 0; k < n; ++k, p += step)
      *p = mix.mix(*p, fast);
    return;
  }
  lice_detail::withSolidCombinerAt(op, w, [&](auto combiner) {
    using Combiner = decltype(combiner);
    for (int k = 0; k < n; ++k, p += step)
      paint.at<Combiner>(p, w);
  });
}

// |dx| = |dy| = d: d + 1 pixels from p, each `step` further; xStep and yStep
// reach the neighbours an anti-aliased diagonal shades.
void drawDiagonal(LICE_pixel* p, ptrdiff_t xStep, ptrdiff_t yStep, int d, const LinePaint& paint,
                  float alpha, int w, int op, bool aa) {
  const ptrdiff_t step = xStep + yStep;
  if (op == LICE_BLIT_MODE_COPY && alpha == 1.0f) {
    if (!aa) {
      for (int k = 0; k <= d; ++k, p += step)
        *p = paint.color;
      return;
    }
    const LICE_SolidMix mix(paint.color);
    for (int k = 0; k <= d; ++k, p += step) {
      *p = mix.mixThreeQuarters(*p);
      if (k < d) {
        p[xStep] = mix.mixQuarter(p[xStep]);
        p[yStep] = mix.mixQuarter(p[yStep]);
      }
    }
    return;
  }
  if (!aa) {
    drawRun(p, step, d + 1, paint, 0, w, op);
    return;
  }
  lice_detail::withSolidCombiner(op, [&](auto combiner) {
    using Combiner = decltype(combiner);
    const int main = (3 * w) / 4, side = w / 4;
    for (int k = 0; k <= d; ++k, p += step) {
      paint.at<Combiner>(p, main);
      if (k < d) {
        paint.at<Combiner>(p + xStep, side);
        paint.at<Combiner>(p + yStep, side);
      }
    }
  });
}

// Any other slope, walked from both ends toward the middle. The major
// coordinate grows from p1 to p2 by majorStep; minorStep moves toward p2.
void drawSlope(LICE_pixel* p1, LICE_pixel* p2, ptrdiff_t majorStep, ptrdiff_t minorStep, int len,
               int minor, const LinePaint& paint, int w, int op, bool aa) {
  const int e = static_cast<int>((static_cast<int64_t>(minor) << 16) / len);
  const int pairs = (len + 1) / 2;
  if (!aa) {
    lice_detail::withSolidCombinerAt(op, w, [&](auto combiner) {
      using Combiner = decltype(combiner);
      int err = 0;
      for (int k = 0; k < pairs; ++k) {
        paint.at<Combiner>(p1, w);
        paint.at<Combiner>(p2, w);
        err += e;
        if (err >= 32768) {
          p1 += minorStep;
          p2 -= minorStep;
          err -= 65536;
        }
        p1 += majorStep;
        p2 -= majorStep;
      }
      if (!(len & 1)) paint.at<Combiner>(p1, w);
    });
    return;
  }
  // The shading reaches at most one minor step past the ideal line on each
  // side, which stays within the segment's bounding box, so no pixel outside
  // the clipped segment's box is touched.
  lice_detail::withSolidCombiner(op, [&](auto combiner) {
    using Combiner = decltype(combiner);
    paint.at<Combiner>(p1, w);
    paint.at<Combiner>(p2, w);
    p1 += majorStep;
    p2 -= majorStep;
    int err = e;
    for (int k = 1; k < pairs; ++k) {
      const int f = err >> 8;
      const int near = (w * (255 - f)) >> 8, far = (w * f) >> 8;
      paint.at<Combiner>(p1, near);
      paint.at<Combiner>(p1 + minorStep, far);
      paint.at<Combiner>(p2, near);
      paint.at<Combiner>(p2 - minorStep, far);
      err += e;
      if (err >= 65536) {
        p1 += minorStep;
        p2 -= minorStep;
        err -= 65536;
      }
      p1 += majorStep;
      p2 -= majorStep;
    }
    if (!(len & 1)) {
      const int f = err >> 8;
      paint.at<Combiner>(p1, (w * (255 - f)) >> 8);
      paint.at<Combiner>(p1 + minorStep, (w * f) >> 8);
    }
  });
}

int clampToInt(long long v) {
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

}  // namespace

namespace {

// Cohen-Sutherland on 64-bit coordinates, so that callers may transform int
// coordinates (flip them) without overflow first.
bool clipLine64(long long* x1, long long* y1, long long* x2, long long* y2, int width, int height) {
  // With no pixels every point is outside on both sides and the moves would
  // chase each other forever.
  if (width < 1 || height < 1) return false;
  long long ax = *x1, ay = *y1, bx = *x2, by = *y2;
  int ca = outCode(ax, ay, width, height), cb = outCode(bx, by, width, height);
  // Each move puts one end on an edge and no later move takes it off again,
  // so four moves per end settle any segment; the bound is a guard only.
  for (int moves = 0; moves < 16; ++moves) {
    if (!(ca | cb)) {
      *x1 = ax;
      *y1 = ay;
      *x2 = bx;
      *y2 = by;
      return true;
    }
    if (ca & cb) return false;
    const int code = ca ? ca : cb;
    const double dx = static_cast<double>(bx - ax), dy = static_cast<double>(by - ay);
    long long x, y;
    if (code & 8) {
      if (dy == 0) return false;
      x = ax + static_cast<long long>(std::trunc(dx * static_cast<double>(height - ay) / dy));
      y = height - 1;
    } else if (code & 4) {
      if (dy == 0) return false;
      x = ax + static_cast<long long>(std::trunc(dx * static_cast<double>(-ay) / dy));
      y = 0;
    } else if (code & 2) {
      if (dx == 0) return false;
      y = ay + static_cast<long long>(std::trunc(dy * static_cast<double>(width - ax) / dx));
      x = width - 1;
    } else {
      if (dx == 0) return false;
      y = ay + static_cast<long long>(std::trunc(dy * static_cast<double>(-ax) / dx));
      x = 0;
    }
    if (ca) {
      ax = x;
      ay = y;
      ca = outCode(ax, ay, width, height);
    } else {
      bx = x;
      by = y;
      cb = outCode(bx, by, width, height);
    }
  }
  return false;
}

}  // namespace

bool ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height) {
  long long ax = *x1, ay = *y1, bx = *x2, by = *y2;
  if (!clipLine64(&ax, &ay, &bx, &by, width, height)) return false;
  *x1 = static_cast<int>(ax);
  *y1 = static_cast<int>(ay);
  *x2 = static_cast<int>(bx);
  *y2 = static_cast<int>(by);
  return true;
}

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool antialias) {
  if (!lice_detail::hasPixels(dest)) return;
  // A flipped bitmap has its rows turned round before clipping; from then on
  // rows are addressed in storage order.
  const int height = dest->getHeight();
  long long ax = x1, ay = y1, bx = x2, by = y2;
  if (dest->isFlipped()) {
    ay = height - 1 - ay;
    by = height - 1 - by;
  }
  if (!clipLine64(&ax, &ay, &bx, &by, dest->getWidth(), height)) return;
  x1 = static_cast<int>(ax);
  y1 = static_cast<int>(ay);
  x2 = static_cast<int>(bx);
  y2 = static_cast<int>(by);
  const StorageRows rows{dest->getBits(), dest->getRowSpan()};

  const int w = LICE_IntWeight(alpha);
  const int op = mode & LICE_BLIT_MODE_MASK;
  const int fast = fastCopyWeight(alpha, op);
  const LinePaint paint{color, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
                        LICE_GETA(color)};

  if (x1 == x2 || y1 == y2) {
    if (x1 == x2 && y1 != y2) {
      if (y2 < y1) std::swap(y1, y2);
      drawRun(rows.at(x1, y1), rows.step, y2 - y1 + 1, paint, fast, w, op);
    } else {
      if (x2 < x1) std::swap(x1, x2);
      drawRun(rows.at(x1, y1), 1, x2 - x1 + 1, paint, fast, w, op);
    }
    return;
  }
  const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
  if (adx == ady) {
    drawDiagonal(rows.at(x1, y1), x2 > x1 ? 1 : -1, y2 > y1 ? rows.step : -rows.step, adx, paint,
                 alpha, w, op, antialias);
    return;
  }
  if (!w) return;
  const bool xMajor = adx > ady;
  if (xMajor ? x2 < x1 : y2 < y1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const ptrdiff_t majorStep = xMajor ? 1 : rows.step;
  const ptrdiff_t minorStep = xMajor ? (y2 > y1 ? rows.step : -rows.step) : (x2 > x1 ? 1 : -1);
  drawSlope(rows.at(x1, y1), rows.at(x2, y2), majorStep, minorStep, xMajor ? adx : ady,
            xMajor ? ady : adx, paint, w, op, antialias);
}

void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode) {
  // Far-off rectangles have edges that end beyond the int range; their
  // visible parts do not change when the ends are pulled in to it.
  const int r = clampToInt(static_cast<long long>(x) + w);
  const int b = clampToInt(static_cast<long long>(y) + h);
  LICE_Line(dest, x, y, r, y, color, alpha, mode, false);
  LICE_Line(dest, r, y, r, b, color, alpha, mode, false);
  LICE_Line(dest, r, b, x, b, color, alpha, mode, false);
  LICE_Line(dest, x, b, x, y, color, alpha, mode, false);
}

void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel fillColor,
                       LICE_pixel borderColor, float alpha, int mode) {
  LICE_FillRect(dest, clampToInt(static_cast<long long>(x) + 1),
                clampToInt(static_cast<long long>(y) + 1),
                clampToInt(static_cast<long long>(w) - 1),
                clampToInt(static_cast<long long>(h) - 1), fillColor, alpha, mode);
  LICE_DrawRect(dest, x, y, w, h, borderColor, alpha, mode);
}
