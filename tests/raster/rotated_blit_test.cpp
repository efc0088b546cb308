#include "raster/lice_rotated_blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "tests/raster/random_below.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

constexpr int kBilinear = LICE_BLIT_FILTER_BILINEAR;

// Pixels that name their own coordinates, opaque; 0 never occurs.
LICE_pixel coordinatePixel(int x, int y) {
  return LICE_RGBA(x + 1, y + 1, 0, 255);
}

}  // namespace

TEST(RotatedBlitTest, AngleZeroCopiesLikeBlit) {
  std::mt19937 rng(41);
  for (int iter = 0; iter < 400; ++iter) {
    TestBitmap src(1 + randomBelow(rng, 12), 1 + randomBelow(rng, 12)), a(14, 14), b(14, 14);
    src.fillRandom(rng);
    a.fillRandom(rng);
    b.copyFrom(a);
    const int w = src.getWidth(), h = src.getHeight();
    const int dx = static_cast<int>(rng() % 20) - 6, dy = static_cast<int>(rng() % 20) - 6;
    const int ox = static_cast<int>(rng() % 7) - 3, oy = static_cast<int>(rng() % 7) - 3;
    int mode = randomMode(rng) & ~kBilinear;
    const float alpha = randomWeight(rng);
    if ((mode & 0xFF) == 0 && !(mode & LICE_BLIT_USE_ALPHA) && (alpha == 1.0f || alpha == 0.5f)) {
      mode |= LICE_BLIT_MODE_ADD;  // the blit's whole-pixel copies have no rotated twin
    }
    // The centre offset moves the sampled area by whole pixels.
    LICE_RotatedBlit(&a, &src, dx, dy, w, h, 0, 0, static_cast<float>(w), static_cast<float>(h),
                     0.0f, false, alpha, mode, static_cast<float>(ox), static_cast<float>(oy));
    LICE_Blit(&b, &src, dx, dy, ox, oy, w, h, alpha, mode);
    ASSERT_EQ(a.pixels(), b.pixels()) << iter;
    ASSERT_TRUE(a.guardsIntact());
  }
}

TEST(RotatedBlitTest, EachPixelSamplesTheRotatedPosition) {
  std::mt19937 rng(42);
  const double pi = std::acos(-1.0);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap src(1 + randomBelow(rng, 30), 1 + randomBelow(rng, 30)), dst(40, 40);
    for (int y = 0; y < src.getHeight(); ++y) {
      for (int x = 0; x < src.getWidth(); ++x)
        src.at(x, y) = coordinatePixel(x, y);
    }
    const int dw = 1 + static_cast<int>(rng() % 40), dh = 1 + static_cast<int>(rng() % 40);
    const int dx = static_cast<int>(rng() % 30) - 10, dy = static_cast<int>(rng() % 30) - 10;
    const double sx = randomBelow(rng, 20) * 0.25, sy = randomBelow(rng, 20) * 0.25;
    const double sw = 1 + randomBelow(rng, 100) * 0.25, sh = 1 + randomBelow(rng, 100) * 0.25;
    const double angle = randomBelow(rng, 1000) * 2 * pi / 1000 - pi;
    const double ox = randomBelow(rng, 9) * 0.5 - 2, oy = randomBelow(rng, 9) * 0.5 - 2;
    const bool clip = rng() % 2;
    LICE_RotatedBlit(&dst, &src, dx, dy, dw, dh, static_cast<float>(sx), static_cast<float>(sy),
                     static_cast<float>(sw), static_cast<float>(sh), static_cast<float>(angle),
                     clip, 1.0f, LICE_BLIT_MODE_COPY, static_cast<float>(ox),
                     static_cast<float>(oy));
    ASSERT_TRUE(dst.guardsIntact());

    // Destination pixel (i, j) of the rectangle samples the source at
    // centre + offset + rotation of ((i, j) - destination centre), scaled.
    const double c = std::cos(angle), s = std::sin(angle), kx = sw / dw, ky = sh / dh;
    const double left = clip ? std::floor(sx) : 0, top = clip ? std::floor(sy) : 0;
    const double right =
        clip ? std::min<double>(src.getWidth(), std::ceil(sx + sw)) : src.getWidth();
    const double bottom =
        clip ? std::min<double>(src.getHeight(), std::ceil(sy + sh)) : src.getHeight();
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const LICE_pixel p = dst.at(x, y);
        const double i = x - dx - dw / 2.0, j = y - dy - dh / 2.0;
        const double u = sx + sw / 2 + ox + i * kx * c + j * kx * s;
        const double v = sy + sh / 2 + oy - i * ky * s + j * ky * c;
        const bool inRect = x >= dx && x < dx + dw && y >= dy && y < dy + dh;
        const double margin = 1e-3 * (1 + std::abs(i) + std::abs(j));
        const bool clearlyInside =
            u >= left + margin && u < right - margin && v >= top + margin && v < bottom - margin;
        if (!p) {
          ASSERT_FALSE(inRect && clearlyInside) << iter << ": " << x << "," << y;
          continue;
        }
        ASSERT_TRUE(inRect) << iter << ": " << x << "," << y;
        const int su = LICE_GETR(p) - 1, sv = LICE_GETG(p) - 1;
        ASSERT_TRUE(su >= left && su < right && sv >= top && sv < bottom) << iter;
        ASSERT_TRUE(su <= u + margin && u < su + 1 + margin)
            << iter << ": u " << u << " got " << su;
        ASSERT_TRUE(sv <= v + margin && v < sv + 1 + margin)
            << iter << ": v " << v << " got " << sv;
      }
    }
  }
}

TEST(RotatedBlitTest, NegativeSizesMirrorAtAngleZero) {
  std::mt19937 rng(43);
  for (int iter = 0; iter < 100; ++iter) {
    TestBitmap src(1 + randomBelow(rng, 10), 1 + randomBelow(rng, 10));
    src.fillRandom(rng);
    const int w = src.getWidth(), h = src.getHeight();
    const float sourceW = static_cast<float>(w), sourceH = static_cast<float>(h);
    TestBitmap plain(w, h), mirrored(w, h);
    const bool mx = rng() % 2, my = !mx || rng() % 2;
    const int mode = rng() % 2 ? LICE_BLIT_MODE_COPY : kBilinear;
    LICE_RotatedBlit(&plain, &src, 0, 0, w, h, 0, 0, sourceW, sourceH, 0.0f, true, 1.0f, mode);
    LICE_RotatedBlit(&mirrored, &src, mx ? w : 0, my ? h : 0, mx ? -w : w, my ? -h : h, 0, 0,
                     sourceW, sourceH, 0.0f, true, 1.0f, mode);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(mirrored.at(x, y), plain.at(mx ? w - 1 - x : x, my ? h - 1 - y : y)) << iter;
      }
    }
  }
}

TEST(RotatedBlitTest, ClippedToTheSourceRectangleReadsNothingElse) {
  std::mt19937 rng(44);
  for (int iter = 0; iter < 1000; ++iter) {
    TestBitmap src(16, 16, rng() % 2),
        dst(1 + randomBelow(rng, 24), 1 + randomBelow(rng, 24), rng() % 2);
    src.fill(0xDEADBEEFu);
    const int rx = static_cast<int>(rng() % 12), ry = static_cast<int>(rng() % 12);
    const int rw = 1 + static_cast<int>(rng() % (16 - rx)),
              rh = 1 + static_cast<int>(rng() % (16 - ry));
    for (int y = ry; y < ry + rh; ++y) {
      for (int x = rx; x < rx + rw; ++x)
        src.at(x, y) = static_cast<LICE_pixel>(rng()) & 0x7F7F7F7Fu;
    }
    const int dw = static_cast<int>(rng() % 50) - 25, dh = static_cast<int>(rng() % 50) - 25;
    const float angle = static_cast<float>(rng() % 1000) / 100.0f - 5.0f;
    LICE_RotatedBlit(&dst, &src, static_cast<int>(rng() % 30) - 10,
                     static_cast<int>(rng() % 30) - 10, dw, dh, static_cast<float>(rx),
                     static_cast<float>(ry), static_cast<float>(rw), static_cast<float>(rh), angle,
                     true, 1.0f, rng() % 2 ? kBilinear : 0, static_cast<float>(rng() % 9) - 4.0f,
                     static_cast<float>(rng() % 9) - 4.0f);
    for (LICE_pixel p : dst.pixels())
      ASSERT_EQ(p & 0x80808080u, 0u) << iter;
    ASSERT_TRUE(dst.guardsIntact());
  }
}

TEST(RotatedBlitTest, FlippedBitmapsGiveTheSameImage) {
  std::mt19937 rng(45);
  for (int iter = 0; iter < 500; ++iter) {
    const int x = static_cast<int>(rng() % 20) - 5, y = static_cast<int>(rng() % 20) - 5;
    const int w = static_cast<int>(rng() % 40) - 20, h = static_cast<int>(rng() % 40) - 20;
    const float angle = static_cast<float>(rng() % 1000) / 100.0f - 5.0f;
    const bool clip = rng() % 2;
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    ASSERT_TRUE(sameOnFlippedBitmaps(
        rng, 1 + randomBelow(rng, 12), 1 + randomBelow(rng, 12), 1 + randomBelow(rng, 16),
        1 + randomBelow(rng, 16),
        [&](TestBitmap* dst, TestBitmap* src) {
          LICE_RotatedBlit(dst, src, x, y, w, h, 1, 1, static_cast<float>(src->getWidth()) - 1.5f,
                           static_cast<float>(src->getHeight()) - 0.5f, angle, clip, alpha, mode);
        }))
        << iter;
  }
}

TEST(RotatedBlitTest, NonsenseGeometryDrawsNothing) {
  TestBitmap src(8, 8), dst(8, 8);
  src.fill(0xFFFFFFFFu);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf}) {
    LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, bad, 0, 8, 8, 0.5f, false, 1.0f, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, bad, 8, 0.5f, true, 1.0f, kBilinear);
    LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, bad, false, 1.0f, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0, bad, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0, 0, bad);
  }
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 1e30f, 0, 8, 8, 0.5f, false, 1.0f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 1e30f, 8, 0.5f, false, 1.0f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0, 1e30f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 0, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 0.0f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 20, 20, 8, 8, 0.5f, true, 1.0f, 0);
  LICE_RotatedBlit(&dst, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 8, 8, 0.5f, false, 1.0f,
                   0);
  LICE_RotatedBlit(nullptr, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0);
  LICE_RotatedBlit(&dst, nullptr, 0, 0, 8, 8, 0, 0, 8, 8, 0.5f, false, 1.0f, 0);
  EXPECT_EQ(dst.countNot(0), 0);
  // A huge angle is still an angle.
  LICE_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 1e30f, false, 1.0f, 0);
  LICE_RotatedBlit(&dst, &src, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 8, 8, 0.3f, false, 1.0f,
                   0);
  EXPECT_TRUE(dst.guardsIntact());
}
