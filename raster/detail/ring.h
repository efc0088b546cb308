#pragma once

#include <cmath>

#include "raster/detail/shape_paint.h"

namespace lice_detail {

// Pixels (x, y) are points: a circle of radius r about (cx, cy) passes
// through the centres of the pixels it is drawn on.

// Visits every pixel of the bitmap area width x height closer than one pixel
// to the circle: f(x, y, dx, dy, d) with (dx, dy) the offset from the centre
// and d its length. Each pixel is visited once; rows outside the bitmap are
// skipped without a loop, so the work is bounded by the visible band.
template <class F>
void forEachPixelNearCircle(int width, int height, double cx, double cy, double r, F f) {
  const double outer = r + 1, inner = r - 1;
  int y0, y1;
  if (!pixelRange(cy - outer, cy + outer, height, &y0, &y1)) return;
  for (int y = y0; y <= y1; ++y) {
    const double dy = y - cy;
    const double o2 = outer * outer - dy * dy;
    if (o2 < 0) continue;
    const double ho = std::sqrt(o2);
    const double i2 = inner > 0 ? inner * inner - dy * dy : -1;
    auto visit = [&](double lo, double hi) {
      int x0, x1;
      if (!pixelRange(lo, hi, width, &x0, &x1)) return;
      for (int x = x0; x <= x1; ++x) {
        const double dx = x - cx;
        f(x, y, dx, dy, std::sqrt(dx * dx + dy * dy));
      }
    };
    if (i2 <= 0) {
      visit(cx - ho, cx + ho);
      continue;
    }
    const double hi = std::sqrt(i2);
    // The two runs must not share a pixel when the inner edge is a point.
    const double leftEnd = std::floor(cx - hi);
    visit(cx - ho, leftEnd);
    visit(std::fmax(cx + hi, leftEnd + 1), cx + ho);
  }
}

// Anti-aliased coverage of a one-pixel circle outline: 1 on the circle,
// falling linearly to 0 one pixel away.
inline double ringCoverage(double d, double r) {
  const double c = 1 - std::fabs(d - r);
  return c > 0 ? c : 0;
}

// The pixel nearest to the point c + offset on one axis, a tie going toward
// c so that both sides of a circle round alike.
inline double nearestTowardCentre(double c, double offset, bool positive) {
  return positive ? std::ceil(c + offset - 0.5) : std::floor(c - offset + 0.5);
}

// Whether pixel (x, y) belongs to the plain one-pixel circle: where the
// outline runs more vertically than horizontally, the pixel of its row nearest
// to the circle, elsewhere the pixel of its column nearest to it. Gives an
// unbroken 8-connected outline with no doubled pixels.
inline bool onPlainCircle(int x, int y, double dx, double dy, double cx, double cy, double r) {
  if (std::fabs(dx) > std::fabs(dy)) {
    const double t = r * r - dy * dy;
    return t >= 0 && x == nearestTowardCentre(cx, std::sqrt(t), dx > 0);
  }
  const double t = r * r - dx * dx;
  return t >= 0 && y == nearestTowardCentre(cy, std::sqrt(t), dy > 0);
}

// Draws a one-pixel circle outline, plain or anti-aliased, through
// paint(x, y, coverage); keep(dx, dy, d) scales each pixel's coverage (0..1)
// to cut out part of the circle, and a plain pixel is drawn when the factor is
// at least one half.
template <class Keep, class Paint>
void drawRing(int width, int height, double cx, double cy, double r, bool aa, Keep keep,
              const Paint& paint) {
  // Below a pixel's radius the nearest-pixel rule can miss every pixel (a
  // circle round a pixel corner); such a circle is the pixel at its centre.
  if (!aa && r < 1) {
    const double x = std::floor(cx + 0.5), y = std::floor(cy + 0.5);
    if (x >= 0 && x < width && y >= 0 && y < height &&
        keep(x - cx, y - cy, std::hypot(x - cx, y - cy)) >= 0.5) {
      paint(static_cast<int>(x), static_cast<int>(y), 1.0);
    }
    return;
  }
  forEachPixelNearCircle(
      width, height, cx, cy, r, [&](int x, int y, double dx, double dy, double d) {
        if (aa) {
          const double c = ringCoverage(d, r);
          if (c > 0) paint(x, y, c * keep(dx, dy, d));
        } else if (onPlainCircle(x, y, dx, dy, cx, cy, r) && keep(dx, dy, d) >= 0.5) {
          paint(x, y, 1.0);
        }
      });
}

}  // namespace lice_detail
