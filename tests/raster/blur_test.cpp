#include "raster/lice_blur.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "raster/LICE_MemBitmap.h"
#include "tests/raster/random_below.h"
#include "tests/raster/test_bitmap.h"

TEST(BlurTest, KeepsFlatAreasAndSpreadsAPointBinomially) {
  TestBitmap flat(9, 7), out(9, 7);
  flat.fill(0x3C7FA0FFu);
  LICE_Blur(&out, &flat, 0, 0, 0, 0, 9, 7);
  EXPECT_EQ(out.countNot(0x3C7FA0FFu), 0);

  TestBitmap dot(7, 7);
  dot.at(3, 3) = 0xFFFFFFFFu;
  LICE_Blur(&dot, &dot, 0, 0, 0, 0, 7, 7);
  const int weights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
  int total = 0;
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 7; ++x) {
      const int v = LICE_GETR(dot.at(x, y));
      const bool near = x >= 2 && x <= 4 && y >= 2 && y <= 4;
      EXPECT_NEAR(v, near ? 255.0 * weights[y - 2][x - 2] / 16 : 0.0, 1.0) << x << "," << y;
      total += v;
    }
  }
  EXPECT_NEAR(total, 255, 4);
}

TEST(BlurTest, InPlaceAndOverlappingAreasMatchASeparateCopy) {
  std::mt19937 rng(71);
  for (bool flipped : {false, true}) {
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) {
        TestBitmap bm(14, 12, flipped), copy(14, 12), expect(14, 12);
        bm.fillRandom(rng);
        copy.copyFrom(bm);
        expect.copyFrom(bm);
        LICE_Blur(&expect, &copy, 3 + dx, 3 + dy, 3, 3, 8, 6);
        LICE_Blur(&bm, &bm, 3 + dx, 3 + dy, 3, 3, 8, 6);
        ASSERT_EQ(bm.pixels(), expect.pixels()) << dx << "," << dy << " " << flipped;
        ASSERT_TRUE(bm.guardsIntact());
      }
    }
  }
}

TEST(BlurTest, ReadsAndWritesOnlyTheClippedAreas) {
  std::mt19937 rng(72);
  for (int iter = 0; iter < 1000; ++iter) {
    TestBitmap src(12, 12, rng() % 2),
        dst(1 + randomBelow(rng, 14), 1 + randomBelow(rng, 14), rng() % 2);
    src.fill(0xFFFFFFFFu);
    const int sx = static_cast<int>(rng() % 20) - 4, sy = static_cast<int>(rng() % 20) - 4;
    const int sw = static_cast<int>(rng() % 16) - 2, sh = static_cast<int>(rng() % 16) - 2;
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 12; ++x) {
        if (x >= sx && x < sx + sw && y >= sy && y < sy + sh) src.at(x, y) = rng() & 0x7F7F7F7Fu;
      }
    }
    const int dx = static_cast<int>(rng() % 24) - 6, dy = static_cast<int>(rng() % 24) - 6;
    LICE_Blur(&dst, &src, dx, dy, sx, sy, sw, sh);
    // Source pixels outside the rectangle never bleed in, and only the
    // rectangle's image in the destination changes.
    for (int y = 0; y < dst.getHeight(); ++y) {
      for (int x = 0; x < dst.getWidth(); ++x) {
        const LICE_pixel p = dst.at(x, y);
        ASSERT_EQ(p & 0x80808080u, 0u) << iter;
        const int ux = sx + x - dx, uy = sy + y - dy;
        const bool inImage = ux >= 0 && uy >= 0 && ux < 12 && uy < 12 && ux >= sx && uy >= sy &&
                             ux < sx + sw && uy < sy + sh;
        if (!inImage) {
          ASSERT_EQ(p, 0u) << iter;
        }
      }
    }
    ASSERT_TRUE(dst.guardsIntact());
  }
  TestBitmap bm(4, 4);
  LICE_MemBitmap empty;
  LICE_Blur(&bm, &empty, 0, 0, 0, 0, 4, 4);
  LICE_Blur(nullptr, &bm, 0, 0, 0, 0, 4, 4);
  LICE_Blur(&bm, &bm, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX);
  EXPECT_TRUE(bm.guardsIntact());
}
