#include "raster/lice_round_rect.h"

#include <cmath>

#include "raster/detail/pixel_rows.h"
#include "raster/detail/ring.h"
#include "raster/detail/shape_paint.h"
#include "raster/lice_line.h"

namespace {

// Whole-pixel coordinates well inside the int range, so that x + w and the
// corner centres cannot overflow.
bool toPixel(float v, long long* out) {
  if (!std::isfinite(v) || std::fabs(v) > 1073741824.0f) return false;
  *out = static_cast<long long>(std::floor(v + 0.5f));
  return true;
}

}  // namespace

void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool antialias) {
  if (!lice_detail::hasPixels(dest)) return;
  long long left, top, width, height;
  if (!toPixel(x, &left) || !toPixel(y, &top) || !toPixel(w, &width) || !toPixel(h, &height)) {
    return;
  }
  if (width < 1 || height < 1) return;
  const long long right = left + width - 1, bottom = top + height - 1;
  long long cr = cornerradius < 0 ? 0 : cornerradius;
  if (cr > (width - 1) / 2) cr = (width - 1) / 2;
  if (cr > (height - 1) / 2) cr = (height - 1) / 2;

  // Each pixel is drawn once: the horizontal edges own the corner pixels of
  // a square rectangle, the corner arcs stop short of the edges' ends.
  auto line = [&](long long x1, long long y1, long long x2, long long y2) {
    LICE_Line(dest, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
              static_cast<int>(y2), color, alpha, mode, false);
  };
  line(left + cr, top, right - cr, top);
  if (bottom != top) line(left + cr, bottom, right - cr, bottom);
  const long long sideTop = top + (cr ? cr : 1), sideBottom = bottom - (cr ? cr : 1);
  if (sideTop <= sideBottom) {
    line(left, sideTop, left, sideBottom);
    if (right != left) line(right, sideTop, right, sideBottom);
  }
  if (!cr) return;

  const lice_detail::PixelRows rows(dest);
  lice_detail::withOutlinePainter(rows, color, alpha, mode, [&](const auto& paint) {
    // One quarter circle per corner, strictly inside its quadrant.
    auto corner = [&](long long cx, long long cy, int sx, int sy) {
      lice_detail::drawRing(
          rows.width, rows.height, static_cast<double>(cx), static_cast<double>(cy),
          static_cast<double>(cr), antialias,
          [sx, sy](double dx, double dy, double) { return dx * sx > 0 && dy * sy > 0 ? 1.0 : 0.0; },
          paint);
    };
    corner(left + cr, top + cr, -1, -1);
    corner(right - cr, top + cr, 1, -1);
    corner(left + cr, bottom - cr, -1, 1);
    corner(right - cr, bottom - cr, 1, 1);
  });
}
