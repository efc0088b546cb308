#include "raster/lice_rotated_blit.h"

#include <cmath>

#include "raster/detail/combiner_select.h"
#include "raster/detail/fixed_span.h"
#include "raster/detail/geometry.h"
#include "raster/detail/pixel_rows.h"
#include "raster/detail/sampling.h"
#include "raster/lice_blend_mode.h"

namespace {

using lice_detail::PixelRows;

// Source pixels [left, right) x [top, bottom) that may be sampled.
struct Bounds {
  int left, top, right, bottom;
};

Bounds sourceBounds(const LICE_IBitmap* src, bool clip, double x, double y, double w, double h) {
  Bounds b{0, 0, src->getWidth(), src->getHeight()};
  if (!clip) return b;
  const double x0 = std::floor(w < 0 ? x + w : x), x1 = std::ceil(w < 0 ? x : x + w);
  const double y0 = std::floor(h < 0 ? y + h : y), y1 = std::ceil(h < 0 ? y : y + h);
  if (x0 > b.left) b.left = x0 < b.right ? static_cast<int>(x0) : b.right;
  if (x1 < b.right) b.right = x1 > b.left ? static_cast<int>(x1) : b.left;
  if (y0 > b.top) b.top = y0 < b.bottom ? static_cast<int>(y0) : b.bottom;
  if (y1 < b.bottom) b.bottom = y1 > b.top ? static_cast<int>(y1) : b.top;
  return b;
}

// A source scale beyond this many pixels per destination pixel is refused, so
// that 16.16 row positions stay within 64 bits over any destination.
constexpr double kMaxScale = 65536.0;

}  // namespace

void LICE_RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw,
                      int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent,
                      float rotycent) {
  if (!lice_detail::hasPixels(dest) || !lice_detail::hasPixels(src) || !dstw || !dsth) return;
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  for (float v : {srcx, srcy, srcw, srch, angle, rotxcent, rotycent}) {
    if (!std::isfinite(v)) return;
  }
  const Bounds bounds = sourceBounds(src, cliptosourcerect, srcx, srcy, srcw, srch);
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) return;

  long long dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  double sx0 = srcx, sy0 = srcy, sw = srcw, sh = srch;
  const bool mirrorX = lice_detail::mirrorAxis(&dx, &dw, &sx0, &sw);
  const bool mirrorY = lice_detail::mirrorAxis(&dy, &dh, &sy0, &sh);
  const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  const double scaleX = sw / static_cast<double>(dw), scaleY = sh / static_cast<double>(dh);
  if (!(std::fabs(scaleX) < kMaxScale) || !(std::fabs(scaleY) < kMaxScale)) return;
  const double colX = scaleX * c, colY = -scaleY * s;
  const double rowX = scaleX * s, rowY = scaleY * c;
  // The destination centre maps to the source centre plus the offset.
  double px = sx0 - (0.5 * (static_cast<double>(dw) * colX + static_cast<double>(dh) * rowX - sw) -
                     rotxcent);
  double py = sy0 - (0.5 * (static_cast<double>(dh) * rowY + static_cast<double>(dw) * colY - sh) -
                     rotycent);
  // Mirrored, sample where the unmirrored image's opposite pixel samples
  // rather than at the far edge itself (one pixel off).
  if (mirrorX) {
    px += colX;
    py += colY;
  }
  if (mirrorY) {
    px += rowX;
    py += rowY;
  }

  if (dx < 0) {
    px -= static_cast<double>(dx) * colX;
    py -= static_cast<double>(dx) * colY;
    dw += dx;
    dx = 0;
  }
  if (dy < 0) {
    px -= static_cast<double>(dy) * rowX;
    py -= static_cast<double>(dy) * rowY;
    dh += dy;
    dy = 0;
  }
  if (dw > dest->getWidth() - dx) dw = dest->getWidth() - dx;
  if (dh > dest->getHeight() - dy) dh = dest->getHeight() - dy;
  if (dw <= 0 || dh <= 0) return;
  if (!lice_detail::usableCoordinate(px) || !lice_detail::usableCoordinate(py)) return;

  using lice_detail::toFixed;
  const int64_t startX = toFixed(px), startY = toFixed(py);
  const int64_t stepColX = toFixed(colX), stepColY = toFixed(colY);
  const int64_t stepRowX = toFixed(rowX), stepRowY = toFixed(rowY);
  const int64_t loX = static_cast<int64_t>(bounds.left) << 16;
  const int64_t hiX = static_cast<int64_t>(bounds.right) << 16;
  const int64_t loY = static_cast<int64_t>(bounds.top) << 16;
  const int64_t hiY = static_cast<int64_t>(bounds.bottom) << 16;
  const PixelRows dst(dest), from(src);
  const int width = static_cast<int>(dw), height = static_cast<int>(dh);

  // The sampler is chosen once per call, so the inner loop has no branch on it.
  const auto nearest = [&](int64_t x, int64_t y) {
    return lice_detail::unpack(*from.at(static_cast<int>(x >> 16), static_cast<int>(y >> 16)));
  };
  const auto bilinear = [&](int64_t x, int64_t y) {
    return lice_detail::sampleBilinear(from, static_cast<int>(x >> 16), static_cast<int>(y >> 16),
                                       static_cast<int>(x & 0xFFFF), static_cast<int>(y & 0xFFFF),
                                       bounds.right - 1, bounds.bottom - 1);
  };
  const auto blit = [&](auto sample) {
    lice_detail::withBlitCombiner(mode, w, [&](auto combiner) {
      using Combiner = decltype(combiner);
      for (int j = 0; j < height; ++j) {
        const int64_t rowPosX = startX + j * stepRowX, rowPosY = startY + j * stepRowY;
        // The columns whose positions fall inside the bounds form one run.
        int first = 0, last = width;
        lice_detail::clipSteps(rowPosX, stepColX, loX, hiX, &first, &last);
        lice_detail::clipSteps(rowPosY, stepColY, loY, hiY, &first, &last);
        LICE_pixel* d = dst.at(static_cast<int>(dx), static_cast<int>(dy) + j);
        int64_t x = rowPosX + first * stepColX, y = rowPosY + first * stepColY;
        for (int i = first; i < last; ++i, x += stepColX, y += stepColY)
          lice_detail::combineSample<Combiner>(d + i, sample(x, y), w);
      }
    });
  };
  if ((mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR) {
    blit(bilinear);
  } else {
    blit(nearest);
  }
}
