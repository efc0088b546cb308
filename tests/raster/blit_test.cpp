#include "raster/lice_blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "tests/raster/random_below.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

// The blit computed one destination pixel at a time: pixel (x, y) takes source
// pixel (left + x - dstx, top + y - dsty) when that lies inside both the
// source rectangle and the source.
void referenceBlit(TestBitmap& dst, const TestBitmap& src, int dstx, int dsty, long long left,
                   long long top, long long right, long long bottom, float alpha, int mode) {
  const int w = LICE_IntWeight(alpha);
  if (!w) return;
  const int op = mode & LICE_BLIT_MODE_MASK;
  const bool plainCopy = (mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA)) == 0;
  for (int y = 0; y < dst.getHeight(); ++y) {
    for (int x = 0; x < dst.getWidth(); ++x) {
      const long long sx = left + (x - static_cast<long long>(dstx));
      const long long sy = top + (y - static_cast<long long>(dsty));
      if (sx < 0 || sy < 0 || sx < left || sy < top || sx >= right || sy >= bottom ||
          sx >= src.getWidth() || sy >= src.getHeight()) {
        continue;
      }
      const LICE_pixel s = src.at(static_cast<int>(sx), static_cast<int>(sy));
      LICE_pixel& d = dst.at(x, y);
      if (op >= 0xF0) {
        reinterpret_cast<unsigned char*>(&d)[(mode >> 2) & 3] =
            reinterpret_cast<const unsigned char*>(&s)[mode & 3];
      } else if (plainCopy && alpha == 1.0f) {
        d = s;
      } else if (plainCopy && alpha == 0.5f) {
        int dc[4], sc[4];
        channelsOf(d, dc);
        channelsOf(s, sc);
        d = LICE_RGBA(dc[1] / 2 + sc[1] / 2, dc[2] / 2 + sc[2] / 2, dc[3] / 2 + sc[3] / 2,
                      dc[0] / 2 + sc[0] / 2);
      } else {
        d = referenceCombine(d, s, w, mode);
      }
    }
  }
}

int randomCoordinate(std::mt19937& rng, int size) {
  return static_cast<int>(rng() % (3 * size + 1)) - size;
}

}  // namespace

TEST(BlitTest, MatchesPerPixelReferenceOverRandomArguments) {
  std::mt19937 rng(11);
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap src(1 + randomBelow(rng, 20), 1 + randomBelow(rng, 20), rng() % 2);
    TestBitmap dst(1 + randomBelow(rng, 20), 1 + randomBelow(rng, 20), rng() % 2);
    src.fillRandom(rng);
    dst.fillRandom(rng);
    TestBitmap expect(dst.getWidth(), dst.getHeight());
    expect.copyFrom(dst);

    const int dstx = randomCoordinate(rng, dst.getWidth());
    const int dsty = randomCoordinate(rng, dst.getHeight());
    int mode = randomMode(rng);
    if (rng() % 6 == 0) mode = 0xF0 | static_cast<int>(rng() % 16);
    const float alpha = randomWeight(rng);
    const int sx = randomCoordinate(rng, src.getWidth()),
              sy = randomCoordinate(rng, src.getHeight());
    const int sw = static_cast<int>(rng() % 30) - 5, sh = static_cast<int>(rng() % 30) - 5;
    const int form = static_cast<int>(rng() % 3);
    if (form == 0) {
      LICE_Blit(&dst, &src, dstx, dsty, sx, sy, sw, sh, alpha, mode);
      referenceBlit(expect, src, dstx, dsty, sx, sy, sx + sw, sy + sh, alpha, mode);
    } else if (form == 1) {
      const RECT r{sx, sy, sx + sw, sy + sh};
      LICE_Blit(&dst, &src, dstx, dsty, &r, alpha, mode);
      referenceBlit(expect, src, dstx, dsty, sx, sy, sx + sw, sy + sh, alpha, mode);
    } else {
      LICE_Blit(&dst, &src, dstx, dsty, nullptr, alpha, mode);
      referenceBlit(expect, src, dstx, dsty, 0, 0, src.getWidth(), src.getHeight(), alpha, mode);
    }
    ASSERT_EQ(dst.pixels(), expect.pixels())
        << "iteration " << iter << " mode " << mode << " alpha " << alpha;
    ASSERT_TRUE(dst.guardsIntact());
    ASSERT_TRUE(src.guardsIntact());
  }
}

TEST(BlitTest, NegativeDestinationSkipsSourceColumns) {
  TestBitmap src(10, 1), dst(10, 1);
  for (int x = 0; x < 10; ++x)
    src.at(x, 0) = static_cast<LICE_pixel>(x + 1);
  LICE_Blit(&dst, &src, -5, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(dst.at(x, 0), static_cast<LICE_pixel>(x + 6));
  for (int x = 5; x < 10; ++x)
    EXPECT_EQ(dst.at(x, 0), 0u);
  // A source rectangle starting left of the source moves the destination.
  dst.fill(0);
  const RECT r{-3, 0, 4, 1};
  LICE_Blit(&dst, &src, 0, 0, &r, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(dst.at(2, 0), 0u);
  EXPECT_EQ(dst.at(3, 0), 1u);
  EXPECT_EQ(dst.at(6, 0), 4u);
  EXPECT_EQ(dst.at(7, 0), 0u);
}

TEST(BlitTest, HalfWeightCopyShiftsEachByteOnce) {
  TestBitmap src(2, 1), dst(2, 1);
  src.at(0, 0) = LICE_RGBA(5, 7, 200, 255);
  dst.at(0, 0) = LICE_RGBA(3, 9, 100, 1);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.5f, LICE_BLIT_MODE_COPY);
  // Both odd: the mean loses one (3 + 5 = 8, but 1 + 2 = 3).
  EXPECT_EQ(dst.at(0, 0), LICE_RGBA(3, 7, 150, 127));
}

TEST(BlitTest, CopyWithinOneBitmapReadsBeforeItWrites) {
  std::mt19937 rng(12);
  const int modes[] = {0, 0x10000, 1, 0xF5};
  const float weights[] = {1.0f, 0.5f, 0.3f};
  for (bool flipped : {false, true}) {
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -3; dx <= 3; ++dx) {
        for (int mode : modes) {
          for (float alpha : weights) {
            TestBitmap bm(12, 9, flipped), copy(12, 9);
            bm.fillRandom(rng);
            copy.copyFrom(bm);
            TestBitmap expect(12, 9);
            expect.copyFrom(bm);
            LICE_Blit(&expect, &copy, 2 + dx, 2 + dy, 2, 2, 8, 5, alpha, mode);
            LICE_Blit(&bm, &bm, 2 + dx, 2 + dy, 2, 2, 8, 5, alpha, mode);
            ASSERT_EQ(bm.pixels(), expect.pixels()) << dx << "," << dy << " mode " << mode;
            ASSERT_TRUE(bm.guardsIntact());
          }
        }
      }
    }
  }
}

TEST(BlitTest, DrawsNothingWithoutPixelsOrWeight) {
  TestBitmap src(4, 4), dst(4, 4);
  src.fill(0xFFFFFFFFu);
  LICE_MemBitmap empty;
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.003f, LICE_BLIT_MODE_ADD);
  LICE_Blit(&dst, &src, 0, 0, 0, 0, 0, 4, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dst, &src, 4, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 6);
  LICE_Blit(&dst, &empty, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&empty, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(dst.countNot(0), 0);
  // Far-off coordinates cannot overflow into view.
  LICE_Blit(&dst, &src, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1.0f, 0);
  LICE_Blit(&dst, &src, INT_MIN, 0, INT_MAX, 0, INT_MAX, 4, 1.0f, 0);
  EXPECT_EQ(dst.countNot(0), 0);
  EXPECT_TRUE(dst.guardsIntact());
}

TEST(BlitTest, CopyResizesTheDestination) {
  TestBitmap src(7, 5, true);
  std::mt19937 rng(13);
  src.fillRandom(rng);
  LICE_MemBitmap dst(2, 2);
  LICE_Copy(&dst, &src);
  ASSERT_EQ(dst.getWidth(), 7);
  ASSERT_EQ(dst.getHeight(), 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x)
      ASSERT_EQ(dst.getBits()[y * dst.getRowSpan() + x], src.at(x, y));
  }
  LICE_Copy(&dst, &dst);
  EXPECT_EQ(dst.getBits()[0], src.at(0, 0));
  LICE_Copy(&dst, nullptr);
  EXPECT_EQ(dst.getWidth(), 7);
  LICE_MemBitmap empty;
  LICE_Copy(&dst, &empty);  // an empty source empties the destination too
  EXPECT_EQ(dst.getWidth(), 0);
  EXPECT_EQ(dst.getHeight(), 0);
}
