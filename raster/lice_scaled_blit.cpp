#include "raster/lice_scaled_blit.h"

#include <cmath>

#include "raster/detail/combiner_select.h"
#include "raster/detail/fixed_span.h"
#include "raster/detail/geometry.h"
#include "raster/detail/pixel_rows.h"
#include "raster/detail/sampling.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"

namespace {

using lice_detail::PixelRows;
using lice_detail::Rgba;

// The destination area and the 16.16 source position of its first pixel.
struct ScaledArea {
  int dstX, dstY, width, height;
  int64_t posX, posY, stepX, stepY;
  int firstX, firstY;    // source columns and rows that may be sampled:
  int extentX, extentY;  // [first, extent)
  double scaleX, scaleY;
};

// Mean of the square kernel of `size` taps centred on source pixel (cx, cy),
// counting only taps inside the source. False when no tap is inside.
bool averageKernel(const PixelRows& src, int cx, int cy, int size, Rgba* out) {
  int r = 0, g = 0, b = 0, a = 0, n = 0;
  const int from = -size / 2;
  for (int ty = from; ty < from + size; ++ty) {
    const int y = cy + ty;
    if (y < 0 || y >= src.height) continue;
    for (int tx = from; tx < from + size; ++tx) {
      const int x = cx + tx;
      if (x < 0 || x >= src.width) continue;
      const LICE_pixel p = *src.at(x, y);
      r += LICE_GETR(p);
      g += LICE_GETG(p);
      b += LICE_GETB(p);
      a += LICE_GETA(p);
      ++n;
    }
  }
  if (!n) return false;
  *out = Rgba{r / n, g / n, b / n, a / n};
  return true;
}

// Walks the area: f(destination pixel, source x, source y in 16.16).
template <class F>
void forEachPixel(const PixelRows& dst, const ScaledArea& s, F f) {
  int64_t py = s.posY;
  for (int j = 0; j < s.height; ++j, py += s.stepY) {
    LICE_pixel* d = dst.at(s.dstX, s.dstY + j);
    int64_t px = s.posX;
    for (int i = 0; i < s.width; ++i, px += s.stepX)
      f(d + i, px, py);
  }
}

// Works out the area for the general (not same-size) case; false when nothing
// is drawn.
bool setUpArea(const LICE_IBitmap* dest, const LICE_IBitmap* src, long long dx, long long dy,
               long long dw, long long dh, double sx, double sy, double sw, double sh,
               ScaledArea* s) {
  if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sw) || !std::isfinite(sh)) {
    return false;
  }
  // Sampling stays within the source rectangle on the left and top too: a
  // mirrored walk ends on its left edge, and truncated 16.16 steps could
  // otherwise carry the last position a pixel past it.
  const double firstX = std::floor(sw < 0 ? sx + sw : sx),
               firstY = std::floor(sh < 0 ? sy + sh : sy);
  s->firstX =
      firstX > 0 ? (firstX < src->getWidth() ? static_cast<int>(firstX) : src->getWidth()) : 0;
  s->firstY =
      firstY > 0 ? (firstY < src->getHeight() ? static_cast<int>(firstY) : src->getHeight()) : 0;
  const bool mirrorX = lice_detail::mirrorAxis(&dx, &dw, &sx, &sw);
  const bool mirrorY = lice_detail::mirrorAxis(&dy, &dh, &sy, &sh);
  s->scaleX = sw / static_cast<double>(dw);
  s->scaleY = sh / static_cast<double>(dh);

  const double ex = std::trunc(sx + (sw > 0 ? sw : 0) + 0.999999);
  const double ey = std::trunc(sy + (sh > 0 ? sh : 0) + 0.999999);
  if (!(ex >= 1) || !(ey >= 1)) return false;
  s->extentX = ex < src->getWidth() ? static_cast<int>(ex) : src->getWidth();
  s->extentY = ey < src->getHeight() ? static_cast<int>(ey) : src->getHeight();

  // Mirrored, destination pixel i must show what unmirrored pixel n - 1 - i
  // shows; starting at the far edge itself would be one pixel off and read
  // past the source rectangle.
  if (mirrorX) sx += s->scaleX;
  if (mirrorY) sy += s->scaleY;

  if (dx < 0) {
    sx -= static_cast<double>(dx) * s->scaleX;
    dw += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= static_cast<double>(dy) * s->scaleY;
    dh += dy;
    dy = 0;
  }
  if (dw > dest->getWidth() - dx) dw = dest->getWidth() - dx;
  if (dh > dest->getHeight() - dy) dh = dest->getHeight() - dy;
  if (dw <= 0 || dh <= 0) return false;

  using lice_detail::usableCoordinate;
  if (!usableCoordinate(sx) || !usableCoordinate(sy) || !usableCoordinate(s->scaleX) ||
      !usableCoordinate(s->scaleY)) {
    return false;
  }
  const int64_t px = lice_detail::toFixed(sx), py = lice_detail::toFixed(sy);
  s->stepX = lice_detail::toFixed(s->scaleX);
  s->stepY = lice_detail::toFixed(s->scaleY);

  int c0 = 0, c1 = static_cast<int>(dw), r0 = 0, r1 = static_cast<int>(dh);
  lice_detail::clipSteps(px, s->stepX, static_cast<int64_t>(s->firstX) << 16,
                         static_cast<int64_t>(s->extentX) << 16, &c0, &c1);
  lice_detail::clipSteps(py, s->stepY, static_cast<int64_t>(s->firstY) << 16,
                         static_cast<int64_t>(s->extentY) << 16, &r0, &r1);
  if (c0 >= c1 || r0 >= r1) return false;
  s->dstX = static_cast<int>(dx) + c0;
  s->dstY = static_cast<int>(dy) + r0;
  s->width = c1 - c0;
  s->height = r1 - r0;
  s->posX = px + c0 * s->stepX;
  s->posY = py + r0 * s->stepY;
  return true;
}

// Within 2^30 a float converts to int safely and LICE_Blit sees no overflow.
bool blitCoordinate(float v) {
  return std::fabs(v) < 1073741824.0f;
}

}  // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw,
                     int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                     int mode) {
  if (!lice_detail::hasPixels(dest) || !lice_detail::hasPixels(src) || !dstw || !dsth) return;
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  const bool bilinear = (mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR;

  // Mirrored sizes go the general way even when equal: the unscaled blit
  // cannot mirror.
  if (dstw > 0 && dsth > 0 && std::fabs(static_cast<double>(srcw) - dstw) < 0.001 &&
      std::fabs(static_cast<double>(srch) - dsth) < 0.001 && blitCoordinate(srcx) &&
      blitCoordinate(srcy)) {
    const auto nearWhole = [](float v) { return std::fabs(v - std::round(v)) <= 0.03f; };
    if (!bilinear || (nearWhole(srcx) && nearWhole(srcy))) {
      // The position plus a half, truncated toward zero: a negative position
      // thus starts a pixel right of where nearest sampling would.
      LICE_Blit(dest, src, dstx, dsty, static_cast<int>(srcx + 0.5), static_cast<int>(srcy + 0.5),
                dstw, dsth, alpha, mode);
      return;
    }
  }

  ScaledArea s;
  if (!setUpArea(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, &s)) return;
  const PixelRows dst(dest), from(src);

  if ((mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_FILTER_MASK | LICE_BLIT_USE_ALPHA)) == 0 &&
      (w == 256 || w == 128)) {
    if (w == 256) {
      forEachPixel(dst, s, [&from](LICE_pixel* d, int64_t px, int64_t py) {
        *d = *from.at(static_cast<int>(px >> 16), static_cast<int>(py >> 16));
      });
    } else {
      forEachPixel(dst, s, [&from](LICE_pixel* d, int64_t px, int64_t py) {
        *d = LICE_HalfMixPixels(*d,
                                *from.at(static_cast<int>(px >> 16), static_cast<int>(py >> 16)));
      });
    }
    return;
  }

  lice_detail::withBlitCombiner(mode, w, [&](auto combiner) {
    using Combiner = decltype(combiner);
    if (bilinear && s.scaleX >= 1.7 && s.scaleY >= 1.7) {
      const int size = (s.stepX > s.stepY ? s.stepX : s.stepY) <= 0x30000 ? 3 : 5;
      forEachPixel(dst, s, [&from, size, w](LICE_pixel* d, int64_t px, int64_t py) {
        Rgba avg;
        if (averageKernel(from, static_cast<int>(px >> 16), static_cast<int>(py >> 16), size,
                          &avg)) {
          lice_detail::combineSample<Combiner>(d, avg, w);
        }
      });
    } else if (bilinear) {
      const int lastX = s.extentX - 1, lastY = s.extentY - 1;
      forEachPixel(dst, s, [&from, lastX, lastY, w](LICE_pixel* d, int64_t px, int64_t py) {
        lice_detail::combineSample<Combiner>(
            d,
            lice_detail::sampleBilinear(from, static_cast<int>(px >> 16),
                                        static_cast<int>(py >> 16), static_cast<int>(px & 0xFFFF),
                                        static_cast<int>(py & 0xFFFF), lastX, lastY),
            w);
      });
    } else {
      forEachPixel(dst, s, [&from, w](LICE_pixel* d, int64_t px, int64_t py) {
        lice_detail::combineSample<Combiner>(
            d,
            lice_detail::unpack(*from.at(static_cast<int>(px >> 16), static_cast<int>(py >> 16))),
            w);
      });
    }
  });
}
