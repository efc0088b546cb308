#include "raster/lice_blit.h"

#include <cstring>

#include "raster/detail/blit_area.h"
#include "raster/detail/combiner_select.h"
#include "raster/detail/pixel_rows.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"

namespace {

using lice_detail::BlitArea;
using lice_detail::PixelRows;

// Row pointers and the order to visit them in so that a copy within one
// bitmap never reads a pixel it has already written: when the destination
// lies at a higher address than the source, rows and columns are visited from
// the highest address down.
struct PairWalk {
  PairWalk(const PixelRows& d, const PixelRows& s, const BlitArea& a)
      : dst(d.at(a.dstX, a.dstY)),
        src(s.at(a.srcX, a.srcY)),
        dstStep(d.step),
        srcStep(s.step),
        width(a.width),
        height(a.height) {
    if (d.base != s.base) return;
    backward = dst > src;
    // Visit rows so that their addresses move the same way as the columns.
    if ((dstStep > 0) == backward) {
      dst += (height - 1) * dstStep;
      src += (height - 1) * srcStep;
      dstStep = -dstStep;
      srcStep = -srcStep;
    }
  }

  // f(destination pixel, source pixel) for every pixel pair.
  template <class F>
  void forEachPixel(F f) const {
    LICE_pixel* d = dst;
    const LICE_pixel* s = src;
    for (int y = 0; y < height; ++y, d += dstStep, s += srcStep) {
      if (backward) {
        for (int x = width - 1; x >= 0; --x)
          f(d + x, s + x);
      } else {
        for (int x = 0; x < width; ++x)
          f(d + x, s + x);
      }
    }
  }

  template <class F>
  void forEachRow(F f) const {
    LICE_pixel* d = dst;
    const LICE_pixel* s = src;
    for (int y = 0; y < height; ++y, d += dstStep, s += srcStep)
      f(d, s);
  }

  LICE_pixel* dst;
  const LICE_pixel* src;
  ptrdiff_t dstStep, srcStep;
  int width, height;
  bool backward = false;
};

void blitClipped(LICE_IBitmap* dest, const LICE_IBitmap* src, long long dstx, long long dsty,
                 long long left, long long top, long long right, long long bottom, float alpha,
                 int mode) {
  if (!lice_detail::hasPixels(dest) || !lice_detail::hasPixels(src)) return;
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  BlitArea area;
  if (!lice_detail::clipBlit(dest->getWidth(), dest->getHeight(), src->getWidth(), src->getHeight(),
                             dstx, dsty, left, top, right, bottom, &area)) {
    return;
  }
  const PixelRows to(dest), from(src);
  const PairWalk walk(to, from, area);

  const int op = mode & LICE_BLIT_MODE_MASK;
  if (op >= LICE_BLIT_MODE_CHANCOPY) {
    const int destChannel = (mode >> 2) & 3, sourceChannel = mode & 3;
    walk.forEachPixel([destChannel, sourceChannel](LICE_pixel* d, const LICE_pixel* s) {
      lice_detail::chans(d)[destChannel] = lice_detail::chans(s)[sourceChannel];
    });
    return;
  }
  if ((mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA)) == LICE_BLIT_MODE_COPY) {
    if (alpha == 1.0f) {
      // Whole rows without padding, both top-down: one block, as fast as the
      // memory system allows (memmove also covers a bitmap onto itself).
      if (to.step == area.width && from.step == area.width) {
        memmove(to.at(area.dstX, area.dstY), from.at(area.srcX, area.srcY),
                static_cast<size_t>(area.width) * area.height * sizeof(LICE_pixel));
        return;
      }
      const size_t bytes = static_cast<size_t>(area.width) * sizeof(LICE_pixel);
      walk.forEachRow([bytes](LICE_pixel* d, const LICE_pixel* s) { memmove(d, s, bytes); });
      return;
    }
    if (alpha == 0.5f) {
      walk.forEachPixel(
          [](LICE_pixel* d, const LICE_pixel* s) { *d = LICE_HalfMixPixels(*d, *s); });
      return;
    }
  }
  lice_detail::withBlitCombiner(mode, w, [&walk, w](auto combiner) {
    using Combiner = decltype(combiner);
    walk.forEachPixel([w](LICE_pixel* d, const LICE_pixel* s) {
      const LICE_pixel p = *s;
      Combiner::doPix(lice_detail::chans(d), LICE_GETR(p), LICE_GETG(p), LICE_GETB(p), LICE_GETA(p),
                      w);
    });
  });
}

}  // namespace

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode) {
  if (!src) return;
  if (srcrect) {
    blitClipped(dest, src, dstx, dsty, srcrect->left, srcrect->top, srcrect->right, srcrect->bottom,
                alpha, mode);
  } else {
    blitClipped(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
  }
}

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode) {
  blitClipped(dest, src, dstx, dsty, srcx, srcy, static_cast<long long>(srcx) + srcw,
              static_cast<long long>(srcy) + srch, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, const LICE_IBitmap* src) {
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
}
