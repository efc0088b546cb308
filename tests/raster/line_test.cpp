#include "raster/lice_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "raster/lice_blend_mode.h"
#include "tests/raster/random_below.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

constexpr LICE_pixel kWhite = 0xFFFFFFFFu;

std::set<std::pair<int, int>> drawnPixels(const TestBitmap& bm) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < bm.getHeight(); ++y) {
    for (int x = 0; x < bm.getWidth(); ++x) {
      if (bm.at(x, y)) out.insert({x, y});
    }
  }
  return out;
}

// Distance from (x, y) to the infinite line through the two points.
double distanceToLine(double x, double y, double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  return std::fabs(dy * (x - x1) - dx * (y - y1)) / std::hypot(dx, dy);
}

}  // namespace

TEST(ClipLineTest, CohenSutherlandCases) {
  int x1 = 3, y1 = 4, x2 = 7, y2 = 9;
  EXPECT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 20, 20));
  EXPECT_EQ(x1, 3);
  EXPECT_EQ(y2, 9);

  x1 = -10, y1 = 5, x2 = 10, y2 = 5;
  EXPECT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 20, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 10);

  x1 = -10, y1 = 1, x2 = -1, y2 = 8;
  EXPECT_FALSE(ClipLine(&x1, &y1, &x2, &y2, 20, 10));

  // Below-and-right moves by the bottom edge first: x at the bottom line,
  // then y one row up.
  x1 = 0, y1 = 0, x2 = 30, y2 = 40;
  EXPECT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 20, 20));
  EXPECT_EQ(x2, 15);
  EXPECT_EQ(y2, 19);

  // No pixels: nothing to clip to.
  x1 = 0, y1 = 0, x2 = 1, y2 = 1;
  EXPECT_FALSE(ClipLine(&x1, &y1, &x2, &y2, 0, 10));
  EXPECT_FALSE(ClipLine(&x1, &y1, &x2, &y2, 10, -1));
}

TEST(ClipLineTest, ClippedEndsLieInsideAndOnTheLine) {
  std::mt19937 rng(51);
  for (int iter = 0; iter < 20000; ++iter) {
    const int w = 1 + randomBelow(rng, 40), h = 1 + randomBelow(rng, 40);
    auto coord = [&](int size) {
      return rng() % 8 == 0 ? static_cast<int>(rng())
                            : static_cast<int>(rng() % (5 * size)) - 2 * size;
    };
    const int ox1 = coord(w), oy1 = coord(h), ox2 = coord(w), oy2 = coord(h);
    int x1 = ox1, y1 = oy1, x2 = ox2, y2 = oy2;
    if (!ClipLine(&x1, &y1, &x2, &y2, w, h)) continue;
    ASSERT_TRUE(x1 >= 0 && x1 < w && y1 >= 0 && y1 < h) << iter;
    ASSERT_TRUE(x2 >= 0 && x2 < w && y2 >= 0 && y2 < h) << iter;
    if (ox1 == ox2 && oy1 == oy2) continue;
    // Within about a pixel of the original line (each move truncates once
    // and lands on the last row or column rather than the edge itself).
    const double tolerance = 2.5;
    ASSERT_LE(distanceToLine(x1, y1, ox1, oy1, ox2, oy2), tolerance) << iter;
    ASSERT_LE(distanceToLine(x2, y2, ox1, oy1, ox2, oy2), tolerance) << iter;
  }
}

TEST(LineTest, WorkedCases) {
  TestBitmap bm(20, 10);
  LICE_Line(&bm, 5, 5, 5, 5, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(drawnPixels(bm), (std::set<std::pair<int, int>>{{5, 5}}));

  bm.fill(0);
  LICE_Line(&bm, -10, 5, 10, 5, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(bm.countNot(0), 11);
  EXPECT_EQ(bm.at(0, 5), kWhite);
  EXPECT_EQ(bm.at(10, 5), kWhite);

  bm.fill(0);
  LICE_Line(&bm, -10, -3, -1, 8, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(nullptr, 0, 0, 3, 3, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(bm.countNot(0), 0);

  LICE_Line(&bm, 0, 0, 4, 2, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(drawnPixels(bm),
            (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}}));

  // Anti-aliased diagonal at full copy: three quarters on the line, a
  // quarter beside it, nothing beside the last pixel.
  bm.fill(0);
  LICE_Line(&bm, 2, 2, 5, 5, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
  const LICE_pixel threeQuarters = 0xBEBEBEBEu, quarter = 0x3F3F3F3Fu;
  for (int k = 0; k <= 3; ++k)
    EXPECT_EQ(bm.at(2 + k, 2 + k), threeQuarters);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(bm.at(3 + k, 2 + k), quarter);
    EXPECT_EQ(bm.at(2 + k, 3 + k), quarter);
  }
  EXPECT_EQ(bm.countNot(0), 10);
}

TEST(LineTest, HalfWeightRunsUseWholePixelOrChannelMeans) {
  TestBitmap bm(4, 4);
  bm.fill(LICE_RGBA(3, 3, 3, 3));
  const LICE_pixel color = LICE_RGBA(5, 5, 5, 5);
  // Exactly one half: the whole-pixel form, which loses both low bits.
  LICE_Line(&bm, 0, 0, 0, 3, color, 0.5f, LICE_BLIT_MODE_COPY);
  // A weight that only truncates to 128 takes the channel mean.
  LICE_Line(&bm, 1, 0, 1, 3, color, 0.5019f, LICE_BLIT_MODE_COPY);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(bm.at(0, y), LICE_RGBA(3, 3, 3, 3));
    EXPECT_EQ(bm.at(1, y), LICE_RGBA(4, 4, 4, 4));
  }
  // Quarter and three-quarter weights mix by shifts too.
  bm.fill(0);
  LICE_Line(&bm, 0, 2, 3, 2, kWhite, 0.25f, LICE_BLIT_MODE_COPY);
  LICE_Line(&bm, 0, 3, 3, 3, kWhite, 0.75f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(bm.at(2, 2), 0x3F3F3F3Fu);
  EXPECT_EQ(bm.at(2, 3), 0xBEBEBEBEu);
}

TEST(LineTest, PlainLinesAreThinConnectedAndClose) {
  std::mt19937 rng(52);
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap bm(64, 64);
    const int x1 = rng() % 64, y1 = rng() % 64, x2 = rng() % 64, y2 = rng() % 64;
    LICE_Line(&bm, x1, y1, x2, y2, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
    const auto pixels = drawnPixels(bm);
    const int len = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    ASSERT_EQ(static_cast<int>(pixels.size()), len + 1) << iter;
    ASSERT_TRUE(pixels.count({x1, y1}) && pixels.count({x2, y2})) << iter;
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    std::set<int> majors;
    for (const auto& p : pixels) {
      majors.insert(xMajor ? p.first : p.second);
      if (len) {
        ASSERT_LE(distanceToLine(p.first, p.second, x1, y1, x2, y2), 0.75) << iter;
      }
      // 8-connected: a neighbour one major step on, unless at the end.
      const int m = xMajor ? p.first : p.second;
      if (m == std::max(xMajor ? x1 : y1, xMajor ? x2 : y2)) continue;
      bool linked = false;
      for (int d = -1; d <= 1; ++d) {
        linked |= xMajor ? pixels.count({p.first + 1, p.second + d}) > 0
                         : pixels.count({p.first + d, p.second + 1}) > 0;
      }
      ASSERT_TRUE(linked) << iter;
    }
    ASSERT_EQ(static_cast<int>(majors.size()), len + 1) << iter;
  }
}

TEST(LineTest, DirectionDoesNotMatterAndFlippedRowsAreHonoured) {
  std::mt19937 rng(53);
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap a(40, 30), b(40, 30), flipped(40, 30, true), mirror(40, 30);
    a.fillRandom(rng);
    b.copyFrom(a);
    flipped.copyFrom(a);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x)
        mirror.at(x, y) = a.at(x, 29 - y);
    }
    const int x1 = static_cast<int>(rng() % 50) - 5, y1 = static_cast<int>(rng() % 40) - 5;
    const int x2 = static_cast<int>(rng() % 50) - 5, y2 = static_cast<int>(rng() % 40) - 5;
    const LICE_pixel color = static_cast<LICE_pixel>(rng());
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    const bool aa = rng() % 2;
    LICE_Line(&a, x1, y1, x2, y2, color, alpha, mode, aa);
    LICE_Line(&b, x2, y2, x1, y1, color, alpha, mode, aa);
    // A flipped bitmap draws the line in storage rows: exactly what an
    // upright bitmap holding the rows the other way round gets for the
    // mirrored line.
    LICE_Line(&flipped, x1, y1, x2, y2, color, alpha, mode, aa);
    LICE_Line(&mirror, x1, 29 - y1, x2, 29 - y2, color, alpha, mode, aa);
    const bool clipped =
        std::min({x1, y1, x2, y2}) < 0 || std::max(x1, x2) >= 40 || std::max(y1, y2) >= 30;
    if (!clipped) {
      ASSERT_EQ(a.pixels(), b.pixels()) << iter;
    }
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(flipped.at(x, y), mirror.at(x, 29 - y)) << iter;
    }
    ASSERT_TRUE(flipped.guardsIntact());
  }
}

TEST(LineTest, AntiAliasedLinesSpreadFullIntensityAcrossTwoPixels) {
  std::mt19937 rng(54);
  for (int iter = 0; iter < 2000; ++iter) {
    TestBitmap bm(64, 64);
    const int x1 = 1 + randomBelow(rng, 62), y1 = 1 + randomBelow(rng, 62),
              x2 = 1 + randomBelow(rng, 62), y2 = 1 + randomBelow(rng, 62);
    const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
    if (adx == ady || !adx || !ady) continue;
    LICE_Line(&bm, x1, y1, x2, y2, kWhite, 1.0f, LICE_BLIT_MODE_COPY, true);
    ASSERT_EQ(bm.at(x1, y1), kWhite);
    ASSERT_EQ(bm.at(x2, y2), kWhite);
    const bool xMajor = adx > ady;
    const int from = xMajor ? std::min(x1, x2) : std::min(y1, y2);
    const int to = xMajor ? std::max(x1, x2) : std::max(y1, y2);
    for (int m = from; m <= to; ++m) {
      int sum = 0;
      for (int k = 0; k < 64; ++k) {
        const LICE_pixel p = xMajor ? bm.at(m, k) : bm.at(k, m);
        if (!p) continue;
        sum += LICE_GETR(p);
        const int px = xMajor ? m : k, py = xMajor ? k : m;
        ASSERT_LT(distanceToLine(px, py, x1, y1, x2, y2), 1.0) << iter;
      }
      ASSERT_GE(sum, 250) << iter << " at " << m;
      ASSERT_LE(sum, 256) << iter << " at " << m;
    }
  }
}

TEST(LineTest, RectanglesAreFourLines) {
  TestBitmap bm(12, 10);
  LICE_DrawRect(&bm, 2, 1, 5, 4, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  std::set<std::pair<int, int>> expect;
  for (int x = 2; x <= 7; ++x)
    expect.insert({x, 1}), expect.insert({x, 5});
  for (int y = 1; y <= 5; ++y)
    expect.insert({2, y}), expect.insert({7, y});
  EXPECT_EQ(drawnPixels(bm), expect);

  bm.fill(0);
  LICE_BorderedRect(&bm, 2, 1, 5, 4, 0x11111111u, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 12; ++x) {
      const LICE_pixel want = expect.count({x, y})                 ? kWhite
                              : (x > 2 && x < 7 && y > 1 && y < 5) ? 0x11111111u
                                                                   : 0u;
      EXPECT_EQ(bm.at(x, y), want) << x << "," << y;
    }
  }
  // Far-off rectangles reach no pixel and wrap nowhere.
  bm.fill(0);
  LICE_DrawRect(&bm, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, kWhite, 1.0f, 0);
  LICE_BorderedRect(&bm, INT_MAX, INT_MIN, INT_MIN, INT_MAX, kWhite, kWhite, 1.0f, 0);
  EXPECT_EQ(bm.countNot(0), 0);
  LICE_DrawRect(&bm, INT_MIN, 3, INT_MAX, 2, kWhite, 1.0f, 0);  // right edge at x = -1
  EXPECT_EQ(bm.countNot(0), 0);
  EXPECT_TRUE(bm.guardsIntact());
}
