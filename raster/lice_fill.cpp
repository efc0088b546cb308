#include "raster/lice_fill.h"

#include "raster/detail/combiner_select.h"
#include "raster/detail/pixel_rows.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"

namespace {

using lice_detail::PixelRows;

// Cuts a rectangle to the bitmap: a negative x or y shortens the size by the
// same amount. Returns false when nothing is left.
bool clipRect(const LICE_IBitmap* bm, long long* x, long long* y, long long* w, long long* h) {
  if (*x < 0) {
    *w += *x;
    *x = 0;
  }
  if (*y < 0) {
    *h += *y;
    *y = 0;
  }
  if (*w < 1 || *h < 1 || *x >= bm->getWidth() || *y >= bm->getHeight()) return false;
  if (*w > bm->getWidth() - *x) *w = bm->getWidth() - *x;
  if (*h > bm->getHeight() - *y) *h = bm->getHeight() - *y;
  return true;
}

template <class F>
void forEachPixel(const PixelRows& rows, int x, int y, int w, int h, F f) {
  for (int j = 0; j < h; ++j) {
    LICE_pixel* p = rows.at(x, y + j);
    for (int i = 0; i < w; ++i)
      f(p + i);
  }
}

}  // namespace

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color) {
  if (!lice_detail::hasPixels(dest)) return;
  forEachPixel(PixelRows(dest), 0, 0, dest->getWidth(), dest->getHeight(),
               [color](LICE_pixel* p) { *p = color; });
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel andMask,
                    LICE_pixel orBits) {
  if (!lice_detail::hasPixels(dest)) return;
  long long cx = x, cy = y, cw = w, ch = h;
  if (!clipRect(dest, &cx, &cy, &cw, &ch)) return;
  forEachPixel(PixelRows(dest), static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(cw),
               static_cast<int>(ch),
               [andMask, orBits](LICE_pixel* p) { *p = (*p & andMask) | orBits; });
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode) {
  if (!lice_detail::hasPixels(dest)) return;
  long long cx = x, cy = y, cw = w, ch = h;
  if (mode & LICE_BLIT_USE_ALPHA)
    alpha = static_cast<float>(alpha * static_cast<float>(LICE_GETA(color)) / 255.0);
  const int iw = LICE_IntWeight(alpha);
  if (!iw || !clipRect(dest, &cx, &cy, &cw, &ch)) return;
  const PixelRows rows(dest);
  const int px = static_cast<int>(cx), py = static_cast<int>(cy);
  const int pw = static_cast<int>(cw), ph = static_cast<int>(ch);

  const int op = mode & LICE_BLIT_MODE_MASK;
  if (op == LICE_BLIT_MODE_COPY && LICE_SolidMix::hasFastForm(iw)) {
    const LICE_SolidMix mix(color);
    if (iw == 256) {
      forEachPixel(rows, px, py, pw, ph, [color](LICE_pixel* p) { *p = color; });
    } else {
      forEachPixel(rows, px, py, pw, ph, [&mix, iw](LICE_pixel* p) { *p = mix.mix(*p, iw); });
    }
    return;
  }
  const int r = LICE_GETR(color), g = LICE_GETG(color), b = LICE_GETB(color);
  lice_detail::withSolidCombiner(op, [&](auto combiner) {
    using Combiner = decltype(combiner);
    forEachPixel(rows, px, py, pw, ph,
                 [=](LICE_pixel* p) { Combiner::doPix(lice_detail::chans(p), r, g, b, iw, iw); });
  });
}

LICE_pixel LICE_GetPixel(const LICE_IBitmap* bm, int x, int y) {
  if (!lice_detail::hasPixels(bm)) return 0;
  if (x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return 0;
  return *PixelRows(bm).at(x, y);
}

void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel color, float alpha, int mode) {
  if (!lice_detail::hasPixels(bm)) return;
  if (x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return;
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  LICE_pixel* p = PixelRows(bm).at(x, y);
  const int op = mode & LICE_BLIT_MODE_MASK;
  if (op == LICE_BLIT_MODE_COPY && LICE_SolidMix::hasFastForm(w)) {
    *p = LICE_SolidMix(color).mix(*p, w);
    return;
  }
  lice_detail::withSolidCombiner(op, [&](auto combiner) {
    decltype(combiner)::doPix(lice_detail::chans(p), LICE_GETR(color), LICE_GETG(color),
                              LICE_GETB(color), LICE_GETA(color), w);
  });
}
