#include "raster/lice_circle.h"

#include <cmath>
#include <utility>

#include "raster/detail/pixel_rows.h"
#include "raster/detail/ring.h"
#include "raster/detail/shape_paint.h"
#include "raster/lice_fill.h"

namespace {

using lice_detail::PixelRows;

constexpr double kTwoPi = 6.283185307179586;

bool usableCircle(float cx, float cy, float r) {
  return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && r >= 0;
}

// How far a pixel lies inside the angular range of an arc, as a coverage
// factor: 1 well inside, 0.5 on an end ray, 0 half a pixel beyond it.
struct AngularRange {
  double start, span;

  double factor(double dx, double dy, double d) const {
    const double theta = std::atan2(dx, -dy);
    double t = theta - start;
    t -= kTwoPi * std::floor(t / kTwoPi);
    const double depth = t <= span ? std::fmin(t, span - t) : -std::fmin(t - span, kTwoPi - t);
    const double f = depth * d + 0.5;
    return f < 0 ? 0 : f > 1 ? 1 : f;
  }
};

void drawOutline(LICE_IBitmap* dest, double cx, double cy, double r, const AngularRange* range,
                 LICE_pixel color, float alpha, int mode, bool aa) {
  const PixelRows rows(dest);
  lice_detail::withOutlinePainter(rows, color, alpha, mode, [&](const auto& paint) {
    if (range) {
      lice_detail::drawRing(
          rows.width, rows.height, cx, cy, r, aa,
          [range](double dx, double dy, double d) { return range->factor(dx, dy, d); }, paint);
    } else {
      lice_detail::drawRing(
          rows.width, rows.height, cx, cy, r, aa, [](double, double, double) { return 1.0; },
          paint);
    }
  });
}

}  // namespace

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool antialias) {
  if (!lice_detail::hasPixels(dest) || !usableCircle(cx, cy, r)) return;
  if (!std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
  double a0 = minAngle, a1 = maxAngle;
  if (a1 < a0) std::swap(a0, a1);
  if (a1 - a0 >= kTwoPi) {
    drawOutline(dest, cx, cy, r, nullptr, color, alpha, mode, antialias);
    return;
  }
  const AngularRange range{a0 - kTwoPi * std::floor(a0 / kTwoPi), a1 - a0};
  drawOutline(dest, cx, cy, r, &range, color, alpha, mode, antialias);
}

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool antialias) {
  if (!lice_detail::hasPixels(dest) || !usableCircle(cx, cy, r)) return;
  drawOutline(dest, cx, cy, r, nullptr, color, alpha, mode, antialias);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                     int mode, bool antialias) {
  if (!lice_detail::hasPixels(dest) || !usableCircle(cx, cy, r)) return;
  const PixelRows rows(dest);
  const double x = cx, y = cy, rad = r;
  // Fully covered runs go through LICE_FillRect so that the inside of a
  // circle looks exactly like a filled rectangle of the same colour.
  auto fillRun = [&](int row, int x0, int x1) {
    LICE_FillRect(dest, x0, row, x1 - x0 + 1, 1, color, alpha, mode);
  };
  if (!antialias) {
    const double outer = rad + 0.5;
    int y0, y1;
    if (!lice_detail::pixelRange(y - outer, y + outer, rows.height, &y0, &y1)) return;
    for (int row = y0; row <= y1; ++row) {
      const double dy = row - y, t = outer * outer - dy * dy;
      int x0, x1;
      if (t >= 0 &&
          lice_detail::pixelRange(x - std::sqrt(t), x + std::sqrt(t), rows.width, &x0, &x1)) {
        fillRun(row, x0, x1);
      }
    }
    return;
  }
  // Coverage falls from 1 at distance r to 0 at r + 1, one half on the plain
  // circle's boundary.
  lice_detail::withEdgePainter(rows, color, alpha, mode, [&](const auto& paint) {
    const double outer = rad + 1;
    int y0, y1;
    if (!lice_detail::pixelRange(y - outer, y + outer, rows.height, &y0, &y1)) return;
    for (int row = y0; row <= y1; ++row) {
      const double dy = row - y, to = outer * outer - dy * dy;
      if (to < 0) continue;
      const double ho = std::sqrt(to), ti = rad * rad - dy * dy;
      auto edge = [&](double lo, double hi) {
        int x0, x1;
        if (!lice_detail::pixelRange(lo, hi, rows.width, &x0, &x1)) return;
        for (int px = x0; px <= x1; ++px) {
          const double dx = px - x, c = rad + 1 - std::sqrt(dx * dx + dy * dy);
          if (c > 0) paint(px, row, c > 1 ? 1.0 : c);
        }
      };
      if (ti < 0) {
        edge(x - ho, x + ho);
        continue;
      }
      const double hi = std::sqrt(ti);
      const double in0 = std::ceil(x - hi), in1 = std::floor(x + hi);
      int x0, x1;
      if (lice_detail::pixelRange(in0, in1, rows.width, &x0, &x1)) fillRun(row, x0, x1);
      if (in0 <= in1) {
        edge(x - ho, in0 - 1);
        edge(in1 + 1, x + ho);
      } else {
        edge(x - ho, x + ho);
      }
    }
  });
}
