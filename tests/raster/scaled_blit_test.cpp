#include "raster/lice_scaled_blit.h"

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

float randomPosition(std::mt19937& rng, int size) {
  return static_cast<float>(static_cast<int>(rng() % (4 * size * 8 + 1)) - 2 * size * 8) / 8.0f;
}

}  // namespace

TEST(ScaledBlitTest, SameSizeBehavesLikeBlit) {
  std::mt19937 rng(31);
  for (int iter = 0; iter < 500; ++iter) {
    TestBitmap src(10, 10), a(12, 12), b(12, 12);
    src.fillRandom(rng);
    a.fillRandom(rng);
    b.copyFrom(a);
    const int dx = static_cast<int>(rng() % 20) - 8, dy = static_cast<int>(rng() % 20) - 8;
    const int sx = static_cast<int>(rng() % 8) - 4, sy = static_cast<int>(rng() % 8) - 4;
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    // Positions within 0.03 of a whole pixel take the plain blit, filtered
    // or not, from the position plus a half, truncated.
    const float jitter = (rng() % 2) ? 0.02f : -0.02f;
    const float fx = static_cast<float>(sx) + jitter, fy = static_cast<float>(sy) - jitter;
    LICE_ScaledBlit(&a, &src, dx, dy, 10, 10, fx, fy, 10.0005f, 10, alpha, mode);
    LICE_Blit(&b, &src, dx, dy, static_cast<int>(fx + 0.5), static_cast<int>(fy + 0.5), 10, 10,
              alpha, mode);
    ASSERT_EQ(a.pixels(), b.pixels()) << iter;
  }
}

TEST(ScaledBlitTest, SameSizeStartsAtThePositionPlusAHalfTruncated) {
  TestBitmap src(4, 1);
  for (int x = 0; x < 4; ++x)
    src.at(x, 0) = static_cast<LICE_pixel>(x + 1);
  const struct {
    float srcx;
    std::vector<LICE_pixel> expected;
  } cases[] = {
      {-0.7f, {1, 2, 3, 4}},  // -0.2 truncates to 0
      {-1.6f, {0, 1, 2, 3}},  // -1.1 truncates to -1
      {1.4f, {2, 3, 4, 0}},
  };
  for (const auto& c : cases) {
    TestBitmap dst(4, 1);
    LICE_ScaledBlit(&dst, &src, 0, 0, 4, 1, c.srcx, 0, 4, 1, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(dst.pixels(), c.expected) << c.srcx;
  }
}

TEST(ScaledBlitTest, PowerOfTwoScalesRepeatOrSkipPixels) {
  std::mt19937 rng(32);
  TestBitmap src(8, 8);
  src.fillRandom(rng);
  TestBitmap up(20, 20), down(6, 6);
  LICE_ScaledBlit(&up, &src, 2, 3, 16, 16, 0, 0, 8, 8, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_ScaledBlit(&down, &src, -1, 0, 4, 4, 0, 0, 8, 8, 1.0f, LICE_BLIT_MODE_COPY);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 18 && y >= 3 && y < 19;
      ASSERT_EQ(up.at(x, y), inside ? src.at((x - 2) / 2, (y - 3) / 2) : 0u) << x << "," << y;
    }
  }
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x < 3 && y < 4;  // column 0 fell off the left edge
      ASSERT_EQ(down.at(x, y), inside ? src.at(2 * (x + 1), 2 * y) : 0u) << x << "," << y;
    }
  }
}

TEST(ScaledBlitTest, NegativeSizesMirrorTheImageExactly) {
  std::mt19937 rng(33);
  for (int iter = 0; iter < 200; ++iter) {
    const int scale = 1 << (rng() % 3);  // 1, 2, 4 destination pixels per source pixel
    TestBitmap src(6, 5);
    src.fillRandom(rng);
    const int w = 6 * scale, h = 5 * scale;
    TestBitmap plain(w, h), mirrored(w, h);
    const int mode = rng() % 2 ? LICE_BLIT_MODE_COPY : (LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_ADD);
    const bool mx = rng() % 2, my = !mx || rng() % 2;
    LICE_ScaledBlit(&plain, &src, 0, 0, w, h, 0, 0, 6, 5, 1.0f, mode);
    LICE_ScaledBlit(&mirrored, &src, mx ? w : 0, my ? h : 0, mx ? -w : w, my ? -h : h, 0, 0, 6, 5,
                    1.0f, mode);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(mirrored.at(x, y), plain.at(mx ? w - 1 - x : x, my ? h - 1 - y : y))
            << iter << ": " << x << "," << y;
      }
    }
  }
}

TEST(ScaledBlitTest, BilinearMixesNeighboursAndStopsAtTheLastPixel) {
  TestBitmap src(4, 2);
  for (int x = 0; x < 4; ++x) {
    src.at(x, 0) = LICE_RGBA(40 * x, 0, 0, 255);
    src.at(x, 1) = LICE_RGBA(40 * x + 11, 100, 0, 255);
  }
  TestBitmap dst(8, 4);
  LICE_ScaledBlit(&dst, &src, 0, 0, 8, 4, 0, 0, 4, 2, 1.0f, kBilinear);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      // Half-way samples are floor means; the last column and row do not
      // look past the image.
      const int sx = x / 2, sy = y / 2;
      const bool halfX = x % 2 && sx < 3, halfY = y % 2 && sy < 1;
      auto red = [&](int px, int py) { return LICE_GETR(src.at(px, py)); };
      int expect = red(sx, sy);
      if (halfX && halfY) {
        expect = (red(sx, sy) + red(sx + 1, sy) + red(sx, sy + 1) + red(sx + 1, sy + 1)) / 4;
      } else if (halfX) {
        expect = (red(sx, sy) + red(sx + 1, sy)) / 2;
      } else if (halfY) {
        expect = (red(sx, sy) + red(sx, sy + 1)) / 2;
      }
      EXPECT_EQ(LICE_GETR(dst.at(x, y)), expect) << x << "," << y;
      EXPECT_EQ(LICE_GETA(dst.at(x, y)), 255);
    }
  }
  // A constant image stays constant under any filtered scale.
  std::mt19937 rng(34);
  TestBitmap flat(9, 7), out(23, 19);
  flat.fill(0x80C0E0FFu);
  for (int iter = 0; iter < 100; ++iter) {
    out.fill(0);
    LICE_ScaledBlit(&out, &flat, 0, 0, 1 + randomBelow(rng, 23), 1 + randomBelow(rng, 19),
                    randomPosition(rng, 2), randomPosition(rng, 2),
                    static_cast<float>(1 + randomBelow(rng, 30)),
                    static_cast<float>(1 + randomBelow(rng, 30)), 1.0f, kBilinear);
    for (LICE_pixel p : out.pixels())
      ASSERT_TRUE(p == 0 || p == 0x80C0E0FFu) << iter;
  }
}

TEST(ScaledBlitTest, FilteredReductionAveragesASquareAroundEachSample) {
  std::mt19937 rng(35);
  TestBitmap src(24, 24);
  src.fillRandom(rng);
  for (int factor : {2, 3, 4, 6}) {
    const int n = 24 / factor;
    TestBitmap dst(n, n);
    LICE_ScaledBlit(&dst, &src, 0, 0, n, n, 0, 0, 24, 24, 1.0f, kBilinear);
    const int size = factor <= 3 ? 3 : 5;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        int sum[4] = {0, 0, 0, 0}, count = 0;
        for (int ty = -size / 2; ty <= size / 2; ++ty) {
          for (int tx = -size / 2; tx <= size / 2; ++tx) {
            const int px = factor * x + tx, py = factor * y + ty;
            if (px < 0 || py < 0 || px >= 24 || py >= 24) continue;
            int c[4];
            channelsOf(src.at(px, py), c);
            for (int i = 0; i < 4; ++i)
              sum[i] += c[i];
            ++count;
          }
        }
        ASSERT_EQ(dst.at(x, y),
                  LICE_RGBA(sum[1] / count, sum[2] / count, sum[3] / count, sum[0] / count))
            << factor << ": " << x << "," << y;
      }
    }
  }
}

TEST(ScaledBlitTest, WholePixelPathMatchesTheCombinePath) {
  std::mt19937 rng(36);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap src(1 + randomBelow(rng, 12), 1 + randomBelow(rng, 12)), a(16, 16), b(16, 16);
    src.fillRandom(rng);
    for (int y = 0; y < src.getHeight(); ++y) {
      for (int x = 0; x < src.getWidth(); ++x)
        src.at(x, y) |= 0xFF;  // opaque
    }
    a.fillRandom(rng);
    b.copyFrom(a);
    const int dw = static_cast<int>(rng() % 40) - 20, dh = static_cast<int>(rng() % 40) - 20;
    const int dx = static_cast<int>(rng() % 24) - 4, dy = static_cast<int>(rng() % 24) - 4;
    const float sx = randomPosition(rng, 4), sy = randomPosition(rng, 4);
    const float sw = randomPosition(rng, 12), sh = randomPosition(rng, 12);
    // Copy of an opaque source with source alpha stores it just the same.
    LICE_ScaledBlit(&a, &src, dx, dy, dw, dh, sx, sy, sw, sh, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_ScaledBlit(&b, &src, dx, dy, dw, dh, sx, sy, sw, sh, 1.0f, LICE_BLIT_USE_ALPHA);
    ASSERT_EQ(a.pixels(), b.pixels()) << iter;
  }
}

TEST(ScaledBlitTest, ReadsOnlyInsideTheSourceRectangle) {
  std::mt19937 rng(37);
  constexpr LICE_pixel kOutside = 0xDEADBEEFu;
  for (int iter = 0; iter < 2000; ++iter) {
    TestBitmap src(16, 16, rng() % 2),
        dst(1 + randomBelow(rng, 20), 1 + randomBelow(rng, 20), rng() % 2);
    src.fill(kOutside);
    const int rx = static_cast<int>(rng() % 12), ry = static_cast<int>(rng() % 12);
    const int rw = 1 + static_cast<int>(rng() % (16 - rx)),
              rh = 1 + static_cast<int>(rng() % (16 - ry));
    for (int y = ry; y < ry + rh; ++y) {
      for (int x = rx; x < rx + rw; ++x)
        src.at(x, y) = static_cast<LICE_pixel>(rng()) & 0x7F7F7F7Fu;
    }
    const int dw = static_cast<int>(rng() % 50) - 25, dh = static_cast<int>(rng() % 50) - 25;
    // Filtered reductions average a kernel that may reach further; keep
    // filtering to enlargements here.
    const bool filtered = rng() % 2 && std::abs(dw) >= rw && std::abs(dh) >= rh;
    LICE_ScaledBlit(&dst, &src, static_cast<int>(rng() % 30) - 10,
                    static_cast<int>(rng() % 30) - 10, dw, dh, static_cast<float>(rx),
                    static_cast<float>(ry), static_cast<float>(rw), static_cast<float>(rh), 1.0f,
                    filtered ? kBilinear : LICE_BLIT_MODE_COPY);
    for (LICE_pixel p : dst.pixels())
      ASSERT_EQ(p & 0x80808080u, 0u) << iter << " " << dw << "x" << dh << " rect " << rx << ","
                                     << ry << "," << rw << "," << rh << " " << filtered;
    ASSERT_TRUE(dst.guardsIntact());
  }
}

TEST(ScaledBlitTest, FlippedBitmapsGiveTheSameImage) {
  std::mt19937 rng(38);
  for (int iter = 0; iter < 500; ++iter) {
    const int x = static_cast<int>(rng() % 20) - 5, y = static_cast<int>(rng() % 20) - 5;
    const int w = static_cast<int>(rng() % 40) - 20, h = static_cast<int>(rng() % 40) - 20;
    const float fx = randomPosition(rng, 4), fy = randomPosition(rng, 4);
    const float fw = randomPosition(rng, 12), fh = randomPosition(rng, 12);
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    ASSERT_TRUE(sameOnFlippedBitmaps(rng, 1 + randomBelow(rng, 12), 1 + randomBelow(rng, 12),
                                     1 + randomBelow(rng, 16), 1 + randomBelow(rng, 16),
                                     [&](TestBitmap* dst, TestBitmap* src) {
                                       LICE_ScaledBlit(dst, src, x, y, w, h, fx, fy, fw, fh, alpha,
                                                       mode);
                                     }))
        << iter;
  }
}

TEST(ScaledBlitTest, NonsenseGeometryDrawsNothing) {
  TestBitmap src(8, 8), dst(8, 8);
  src.fill(0xFFFFFFFFu);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf, 1e30f, -1e30f}) {
    LICE_ScaledBlit(&dst, &src, 0, 0, 8, 8, bad, 0, 8, 8, 1.0f, 0);
    LICE_ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, bad, 8, 8, 1.0f, kBilinear);
    LICE_ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, 0, bad, 8, 1.0f, 0);
    LICE_ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, bad, 1.0f, kBilinear);
  }
  LICE_ScaledBlit(&dst, &src, 0, 0, 0, 8, 0, 0, 8, 8, 1.0f, 0);
  LICE_ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, 0);
  LICE_ScaledBlit(&dst, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 8, 8, 1.0f, 0);
  LICE_ScaledBlit(nullptr, &src, 0, 0, 8, 8, 0, 0, 8, 8, 1.0f, 0);
  LICE_ScaledBlit(&dst, nullptr, 0, 0, 8, 8, 0, 0, 8, 8, 1.0f, 0);
  EXPECT_EQ(dst.countNot(0), 0);
  // Mirrored across the whole int range: the visible part samples column 0.
  LICE_ScaledBlit(&dst, &src, INT_MAX, 0, INT_MIN, 8, 0, 0, 8, 8, 1.0f, 0);
  EXPECT_EQ(dst.countNot(0xFFFFFFFFu), 0);
  EXPECT_TRUE(dst.guardsIntact());
}
