#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <set>
#include <utility>

#include "raster/lice_blend_mode.h"
#include "raster/lice_circle.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"
#include "raster/lice_polygon.h"
#include "raster/lice_round_rect.h"
#include "tests/raster/random_below.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

constexpr LICE_pixel kWhite = 0xFFFFFFFFu;
// Added once, a pixel's red channel becomes 10; added twice, 20.
constexpr LICE_pixel kTen = LICE_RGBA(10, 10, 10, 255);

typedef std::set<std::pair<int, int>> PixelSet;

PixelSet drawn(const TestBitmap& bm) {
  PixelSet out;
  for (int y = 0; y < bm.getHeight(); ++y) {
    for (int x = 0; x < bm.getWidth(); ++x) {
      if (bm.at(x, y)) out.insert({x, y});
    }
  }
  return out;
}

int neighbours(const PixelSet& s, int x, int y) {
  int n = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx)
      n += (dx || dy) && s.count({x + dx, y + dy});
  }
  return n;
}

int maxRed(const TestBitmap& bm) {
  int m = 0;
  for (LICE_pixel p : bm.pixels())
    m = std::max(m, LICE_GETR(p));
  return m;
}

long long cross(long long ax, long long ay, long long bx, long long by) {
  return ax * by - ay * bx;
}

// The sign of cross() for differences of two ints, whose products need up
// to 66 bits: by and bx are split at 2^16, so every product fits in 64 bits.
int crossSign(long long ax, long long ay, long long bx, long long by) {
  const long long high = ax * (by >> 16) - ay * (bx >> 16);
  const long long low = ax * (by & 0xffff) - ay * (bx & 0xffff);
  // cross = high·2^16 + low = carried·2^16 + (low mod 2^16).
  const long long carried = high + (low >> 16);
  if (carried != 0) return carried > 0 ? 1 : -1;
  return (low & 0xffff) != 0 ? 1 : 0;
}

}  // namespace

TEST(CircleTest, PlainOutlineIsAThinClosedRingNearTheCircle) {
  for (float r = 0.5f; r <= 24.0f; r += 0.5f) {
    for (float offset : {0.0f, 0.5f, 0.25f}) {
      TestBitmap bm(64, 64);
      const float cx = 31 + offset, cy = 32 - offset;
      LICE_Circle(&bm, cx, cy, r, kTen, 1.0f, LICE_BLIT_MODE_ADD);
      EXPECT_EQ(maxRed(bm), 10) << r;  // no pixel drawn twice
      const PixelSet ring = drawn(bm);
      for (const auto& p : ring) {
        const double d =
            std::hypot(static_cast<float>(p.first) - cx, static_cast<float>(p.second) - cy);
        ASSERT_LE(std::fabs(d - r), 0.71) << r << " at " << p.first << "," << p.second;
        if (r >= 1.5f) {
          ASSERT_GE(neighbours(ring, p.first, p.second), 2) << r;
        }
      }
      // No gaps: every point of the circle has a ring pixel within reach.
      for (int k = 0; k < 720; ++k) {
        const double a = k * 3.14159265358979 / 360;
        const int px = static_cast<int>(std::lround(cx + r * std::cos(a)));
        const int py = static_cast<int>(std::lround(cy + r * std::sin(a)));
        ASSERT_GT(neighbours(ring, px, py) + static_cast<int>(ring.count({px, py})), 0) << r;
      }
      if (offset == 0.0f) {  // whole centre: symmetric under the eight reflections
        for (const auto& p : ring) {
          const int dx = p.first - 31, dy = p.second - 32;
          ASSERT_TRUE(ring.count({31 - dx, 32 + dy}) && ring.count({31 + dx, 32 - dy}) &&
                      ring.count({31 + dy, 32 + dx}))
              << r;
        }
      }
    }
  }
}

TEST(CircleTest, AntiAliasedOutlineShadesByDistance) {
  for (float r = 1.0f; r <= 24.0f; r += 0.75f) {
    TestBitmap bm(64, 64);
    const float cx = 31.3f, cy = 32.6f;
    LICE_Circle(&bm, cx, cy, r, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
    double total = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const int v = LICE_GETR(bm.at(x, y));
        const double d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy),
                     cover = 1 - std::fabs(d - r);
        if (cover <= 0) {
          ASSERT_EQ(v, 0);
        }
        // Copy at a weight of coverage x 256 onto black.
        if (cover > 0) {
          ASSERT_NEAR(v, 255 * cover, 2.0) << r << " at " << x << "," << y;
        }
        total += v;
      }
    }
    // About one fully lit pixel per unit of circumference.
    EXPECT_NEAR(total / 255, 2 * 3.14159265 * r, 0.08 * 2 * 3.14159265 * r + 1) << r;
  }
}

TEST(CircleTest, FilledCircleCoversPixelsWithinHalfAPixelOfTheRadius) {
  std::mt19937 rng(61);
  for (int iter = 0; iter < 300; ++iter) {
    const float cx = static_cast<float>(rng() % 400) / 8.0f - 5,
                cy = static_cast<float>(rng() % 400) / 8.0f - 5;
    const float r = static_cast<float>(rng() % 240) / 8.0f;
    TestBitmap plain(40, 40, rng() % 2), smooth(40, 40);
    LICE_FillCircle(&plain, cx, cy, r, kTen, 1.0f, LICE_BLIT_MODE_ADD);
    LICE_FillCircle(&smooth, cx, cy, r, kTen, 1.0f, LICE_BLIT_MODE_ADD, true);
    TestBitmap solid(40, 40);
    LICE_FillCircle(&solid, cx, cy, r, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const double d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy);
        ASSERT_EQ(LICE_GETR(plain.at(x, y)), d <= r + 0.5 ? 10 : 0) << iter;
        // Each pixel is painted once, fully inside r, not at all beyond r + 1.
        const int v = LICE_GETR(smooth.at(x, y));
        ASSERT_LE(v, 10) << iter;
        if (d <= r) {
          ASSERT_EQ(v, 10) << iter;
        }
        if (d >= r + 1) {
          ASSERT_EQ(v, 0) << iter;
        }
        const double cover = std::min(1.0, std::max(0.0, r + 1 - d));
        ASSERT_NEAR(LICE_GETR(solid.at(x, y)), 255 * cover, 2.0) << iter << " " << x << "," << y;
      }
    }
    ASSERT_TRUE(plain.guardsIntact());
  }
}

TEST(CircleTest, ArcsArePartsOfTheirCircle) {
  const double pi = 3.14159265358979;
  std::mt19937 rng(62);
  for (int iter = 0; iter < 300; ++iter) {
    const float r = 2 + static_cast<float>(rng() % 160) / 8.0f;
    const float a0 = static_cast<float>(randomBelow(rng, 1000) / 1000.0 * 4 * pi - 2 * pi);
    const float a1 = static_cast<float>(a0 + randomBelow(rng, 1000) / 1000.0 * 2 * pi);
    const bool aa = rng() % 2;
    TestBitmap circle(48, 48), arc(48, 48), backwards(48, 48);
    LICE_Circle(&circle, 24, 24, r, kWhite, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_Arc(&arc, 24, 24, r, a0, a1, kWhite, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_Arc(&backwards, 24, 24, r, a1, a0, kWhite, 1.0f, LICE_BLIT_MODE_COPY, aa);
    ASSERT_EQ(arc.pixels(), backwards.pixels());
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 48; ++x) {
        const int v = LICE_GETR(arc.at(x, y));
        ASSERT_LE(v, LICE_GETR(circle.at(x, y)) + 1) << iter;
        if (!v) continue;
        // 0 is straight up and angles grow clockwise.
        double t = std::atan2(x - 24.0, 24.0 - y) - a0;
        t -= 2 * pi * std::floor(t / (2 * pi));
        const double beyond = std::min(t - (a1 - a0), 2 * pi - t) * std::hypot(x - 24.0, y - 24.0);
        ASSERT_TRUE(t <= a1 - a0 || beyond < (aa ? 0.5 : 1e-9)) << iter << " " << x << "," << y;
      }
    }
  }
  TestBitmap whole(48, 48), circle(48, 48);
  LICE_Arc(&whole, 24, 24, 10, -1.0f, -1.0f + 7.0f, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
  LICE_Circle(&circle, 24, 24, 10, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
  EXPECT_EQ(whole.pixels(), circle.pixels());
  // A quarter from 0 to pi/2 is the upper right quarter.
  TestBitmap quarter(48, 48);
  LICE_Arc(&quarter, 24, 24, 10, 0.0f, static_cast<float>(pi / 2), kWhite, 1.0f, 0, false);
  for (const auto& p : drawn(quarter))
    EXPECT_TRUE(p.first >= 24 && p.second <= 24);
  EXPECT_TRUE(drawn(quarter).count({24, 14}) && drawn(quarter).count({34, 24}));
}

TEST(RoundRectTest, OutlinesTheRoundedAreaOnce) {
  for (int cr = 0; cr <= 12; ++cr) {
    for (bool aa : {false, true}) {
      TestBitmap bm(40, 30);
      LICE_RoundRect(&bm, 3, 2, 31, 22, cr, kTen, 1.0f, LICE_BLIT_MODE_ADD, aa);
      EXPECT_LE(maxRed(bm), 10) << cr;  // no pixel drawn twice
      TestBitmap solid(40, 30);
      LICE_RoundRect(&solid, 3, 2, 31, 22, cr, kWhite, 1.0f, LICE_BLIT_MODE_COPY, aa);
      const PixelSet outline = drawn(solid);
      for (const auto& p : outline) {
        // Within the w x h pixels, mirror-symmetric about the centre lines.
        ASSERT_TRUE(p.first >= 3 && p.first <= 33 && p.second >= 2 && p.second <= 23);
        ASSERT_TRUE(outline.count({36 - p.first, p.second}) &&
                    outline.count({p.first, 25 - p.second}));
        if (!aa) {
          ASSERT_GE(neighbours(outline, p.first, p.second), 2) << cr;
        }
      }
      // The straight edges run between the corners.
      const int r = std::min(cr, 10);
      for (int x = 3 + r; x <= 33 - r; ++x)
        ASSERT_EQ(solid.at(x, 2), kWhite) << cr;
      for (int y = 2 + std::max(r, 1); y <= 23 - std::max(r, 1); ++y)
        ASSERT_EQ(solid.at(3, y), kWhite);
      if (cr == 0) {
        TestBitmap rect(40, 30);
        LICE_DrawRect(&rect, 3, 2, 30, 21, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
        EXPECT_EQ(solid.pixels(), rect.pixels());
      }
    }
  }
  // One pixel wide or high, and nothing for no size.
  TestBitmap bm(10, 10);
  LICE_RoundRect(&bm, 2, 2, 1, 5, 3, kTen, 1.0f, LICE_BLIT_MODE_ADD);
  LICE_RoundRect(&bm, 4, 2, 5, 1, 3, kTen, 1.0f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(maxRed(bm), 10);
  EXPECT_EQ(bm.countNot(0), 10);
  LICE_RoundRect(&bm, 0, 0, 0, 5, 1, kWhite, 1.0f, 0);
  LICE_RoundRect(&bm, 0, 0, 5, -5, 1, kWhite, 1.0f, 0);
  EXPECT_EQ(bm.countNot(0), 10);
}

TEST(PolygonTest, FillsEveryPixelCentreInsideOrOnTheEdges) {
  std::mt19937 rng(63);
  for (int iter = 0; iter < 2000; ++iter) {
    int xs[3], ys[3];
    for (int i = 0; i < 3; ++i) {
      xs[i] = static_cast<int>(rng() % 50) - 5;
      ys[i] = static_cast<int>(rng() % 50) - 5;
    }
    TestBitmap bm(40, 40, rng() % 2);
    LICE_FillTriangle(&bm, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], kTen, 1.0f,
                      LICE_BLIT_MODE_ADD);
    ASSERT_LE(maxRed(bm), 10);
    const long long area2 = cross(xs[1] - xs[0], ys[1] - ys[0], xs[2] - xs[0], ys[2] - ys[0]);
    int inside = 0;
    for (int y = -5; y < 45; ++y) {
      for (int x = -5; x < 45; ++x) {
        bool in;
        if (area2) {
          const long long s = area2 > 0 ? 1 : -1;
          in = true;
          for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            in &= s * cross(xs[j] - xs[i], ys[j] - ys[i], x - xs[i], y - ys[i]) >= 0;
          }
        } else {  // degenerate: the lattice points on the segments
          in = false;
          for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            in |= cross(xs[j] - xs[i], ys[j] - ys[i], x - xs[i], y - ys[i]) == 0 &&
                  x >= std::min(xs[i], xs[j]) && x <= std::max(xs[i], xs[j]) &&
                  y >= std::min(ys[i], ys[j]) && y <= std::max(ys[i], ys[j]);
          }
        }
        inside += in;
        if (x >= 0 && x < 40 && y >= 0 && y < 40) {
          ASSERT_EQ(LICE_GETR(bm.at(x, y)), in ? 10 : 0) << iter << " at " << x << "," << y;
        }
      }
    }
    // Pick: a lattice triangle holds area + boundary / 2 + 1 lattice points.
    if (area2 && std::min({xs[0], xs[1], xs[2], ys[0], ys[1], ys[2]}) >= -5) {
      int boundary = 0;
      for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        boundary += std::gcd(std::abs(xs[j] - xs[i]), std::abs(ys[j] - ys[i]));
      }
      ASSERT_EQ(2 * inside, std::llabs(area2) + boundary + 2) << iter;
    }
    ASSERT_TRUE(bm.guardsIntact());
  }
}

TEST(PolygonTest, VertexOrderAndConvexShapes) {
  const int xs[5] = {5, 20, 26, 14, 2}, ys[5] = {3, 1, 15, 24, 14};
  TestBitmap first(30, 30);
  LICE_FillConvexPolygon(&first, xs, ys, 5, kWhite, 1.0f, 0);
  for (int start = 0; start < 5; ++start) {
    for (bool reverse : {false, true}) {
      int rx[5], ry[5];
      for (int i = 0; i < 5; ++i) {
        const int k = reverse ? (start + 5 - i) % 5 : (start + i) % 5;
        rx[i] = xs[k];
        ry[i] = ys[k];
      }
      TestBitmap bm(30, 30);
      LICE_FillConvexPolygon(&bm, rx, ry, 5, kWhite, 1.0f, 0);
      EXPECT_EQ(bm.pixels(), first.pixels());
    }
  }
  // A rectangle fills like LICE_FillRect, edges included, at any weight.
  const int rx[4] = {3, 12, 12, 3}, ry[4] = {4, 4, 9, 9};
  TestBitmap poly(20, 20), rect(20, 20);
  LICE_FillConvexPolygon(&poly, rx, ry, 4, 0x80402010u, 0.3f, LICE_BLIT_USE_ALPHA | 3);
  LICE_FillRect(&rect, 3, 4, 10, 6, 0x80402010u, 0.3f, LICE_BLIT_USE_ALPHA | 3);
  EXPECT_EQ(poly.pixels(), rect.pixels());
  // Vertices far outside: exact arithmetic, whatever the magnitudes.
  const int bx[4] = {INT_MIN, INT_MAX, INT_MAX, INT_MIN},
            by[4] = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  TestBitmap all(20, 20);
  LICE_FillConvexPolygon(&all, bx, by, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(all.countNot(kWhite), 0);
  // Wedges reaching in from anywhere in the int range, one corner inside the
  // bitmap: each pixel against the exact sides of the triangle.
  std::mt19937 rng(32);
  std::uniform_int_distribution<int> anywhere(INT_MIN, INT_MAX);
  for (int iter = 0; iter < 60; ++iter) {
    int tx[3] = {INT_MIN, INT_MAX, INT_MIN + 20}, ty[3] = {INT_MIN, INT_MIN, INT_MAX};
    if (iter > 0) {
      tx[0] = randomBelow(rng, 20);
      ty[0] = randomBelow(rng, 20);
      for (int i = 1; i < 3; ++i) {
        tx[i] = anywhere(rng);
        ty[i] = anywhere(rng);
      }
    }
    TestBitmap wedge(20, 20);
    LICE_FillConvexPolygon(&wedge, tx, ty, 3, kWhite, 1.0f, 0);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        bool nonNegative = true, nonPositive = true;
        for (int i = 0; i < 3; ++i) {
          const int j = (i + 1) % 3;
          const int c = crossSign(
              static_cast<long long>(tx[j]) - tx[i], static_cast<long long>(ty[j]) - ty[i],
              static_cast<long long>(x) - tx[i], static_cast<long long>(y) - ty[i]);
          nonNegative &= c >= 0;
          nonPositive &= c <= 0;
        }
        const bool in = nonNegative || nonPositive;
        ASSERT_EQ(wedge.at(x, y), in ? kWhite : 0u) << iter << " at " << x << "," << y;
      }
    }
    if (iter == 0) {
      EXPECT_NE(wedge.countNot(0), 0);
      EXPECT_NE(wedge.countNot(kWhite), 0);
    }
  }
  LICE_FillConvexPolygon(&all, nullptr, by, 3, 0, 1.0f, 0);
  LICE_FillConvexPolygon(&all, bx, by, 0, 0, 1.0f, 0);
  EXPECT_EQ(all.countNot(kWhite), 0);
  EXPECT_TRUE(all.guardsIntact());
}

TEST(ShapeTest, FlippedBitmapsGiveTheSameImage) {
  std::mt19937 rng(64);
  for (int iter = 0; iter < 600; ++iter) {
    TestBitmap a(30, 24), b(30, 24, true);
    a.fillRandom(rng);
    b.copyFrom(a);
    const float cx = static_cast<float>(rng() % 320) / 8.0f - 5,
                cy = static_cast<float>(rng() % 320) / 8.0f - 5,
                r = static_cast<float>(rng() % 200) / 8.0f;
    const LICE_pixel color = static_cast<LICE_pixel>(rng());
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    const bool aa = rng() % 2;
    const int xs[4] = {static_cast<int>(rng() % 40) - 5, static_cast<int>(rng() % 40) - 5,
                       static_cast<int>(rng() % 40) - 5, static_cast<int>(rng() % 40) - 5};
    const int ys[4] = {static_cast<int>(rng() % 40) - 5, static_cast<int>(rng() % 40) - 5,
                       static_cast<int>(rng() % 40) - 5, static_cast<int>(rng() % 40) - 5};
    for (TestBitmap* bm : {&a, &b}) {
      switch (iter % 5) {
        case 0:
          LICE_Circle(bm, cx, cy, r, color, alpha, mode, aa);
          break;
        case 1:
          LICE_FillCircle(bm, cx, cy, r, color, alpha, mode, aa);
          break;
        case 2:
          LICE_Arc(bm, cx, cy, r, cx / 4, cy / 3, color, alpha, mode, aa);
          break;
        case 3:
          LICE_RoundRect(bm, cx, cy, r * 2, r, static_cast<int>(r / 3), color, alpha, mode, aa);
          break;
        default:
          LICE_FillConvexPolygon(bm, xs, ys, 4, color, alpha, mode);
          break;
      }
    }
    ASSERT_EQ(a.pixels(), b.pixels()) << iter;
    ASSERT_TRUE(b.guardsIntact());
  }
}

TEST(ShapeTest, NonsenseGeometryDrawsNothingOrOnlyInside) {
  TestBitmap bm(16, 16);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf}) {
    for (bool aa : {false, true}) {
      LICE_Circle(&bm, bad, 8, 4, kWhite, 1.0f, 0, aa);
      LICE_FillCircle(&bm, 8, bad, 4, kWhite, 1.0f, 0, aa);
      LICE_FillCircle(&bm, 8, 8, bad, kWhite, 1.0f, 0, aa);
      LICE_Arc(&bm, 8, 8, 4, bad, 1, kWhite, 1.0f, 0, aa);
      LICE_Arc(&bm, 8, 8, 4, 0, bad, kWhite, 1.0f, 0, aa);
      LICE_RoundRect(&bm, bad, 0, 5, 5, 2, kWhite, 1.0f, 0, aa);
      LICE_RoundRect(&bm, 0, 0, 5, bad, 2, kWhite, 1.0f, 0, aa);
    }
  }
  LICE_Circle(&bm, 8, 8, -3, kWhite, 1.0f, 0, true);
  LICE_FillCircle(nullptr, 8, 8, 3, kWhite, 1.0f, 0, true);
  LICE_FillCircle(&bm, 8, 8, 3, kWhite, 0.0f, 0, true);
  LICE_Circle(&bm, 8, 8, 3, kWhite, 1.0f, 9, true);
  EXPECT_EQ(bm.countNot(0), 0);
  // Enormous shapes clip to the bitmap and finish.
  for (bool aa : {false, true}) {
    LICE_Circle(&bm, 8, 8, 1e30f, kWhite, 1.0f, 0, aa);
    LICE_Circle(&bm, -1e9f, 8, 1e9f + 4, kWhite, 1.0f, 0, aa);
    LICE_FillCircle(&bm, 8, 8, 1e30f, kWhite, 1.0f, 0, aa);
    LICE_FillCircle(&bm, 1e20f, -1e20f, 1e9f, kWhite, 1.0f, 0, aa);
    LICE_Arc(&bm, 8, 8, 3e9f, 1e30f, -1e30f, kWhite, 1.0f, 0, aa);
    LICE_RoundRect(&bm, -1e9f, -1e9f, 2e9f, 2e9f, INT_MAX, kWhite, 1.0f, 0, aa);
    LICE_RoundRect(&bm, 1e20f, 0, 1e20f, 1, 1, kWhite, 1.0f, 0, aa);
  }
  EXPECT_EQ(bm.countNot(kWhite), 0);
  EXPECT_TRUE(bm.guardsIntact());
}
