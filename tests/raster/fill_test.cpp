#include "raster/lice_fill.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"
#include "tests/raster/random_below.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

// A solid colour at weights 256, 128, 64 and 192, channel by channel.
LICE_pixel referenceFast(LICE_pixel d, LICE_pixel c, int w) {
  int dc[4], cc[4], out[4];
  channelsOf(d, dc);
  channelsOf(c, cc);
  for (int i = 0; i < 4; ++i) {
    out[i] = w == 256   ? cc[i]
             : w == 128 ? dc[i] / 2 + cc[i] / 2
             : w == 64  ? dc[i] / 2 + dc[i] / 4 + cc[i] / 4
                        : dc[i] / 4 + cc[i] / 2 + cc[i] / 4;
  }
  return LICE_RGBA(out[1], out[2], out[3], out[0]);
}

// The plain formula of operation op (copy as the copy formula).
LICE_pixel referenceSolid(LICE_pixel d, int r, int g, int b, int a, int w, int op) {
  auto run = [&](auto combiner) {
    decltype(combiner)::doPix(reinterpret_cast<LICE_pixel_chan*>(&d), r, g, b, a, w);
  };
  switch (op) {
    case 0:
      run(LICE_CombineCopy());
      break;
    case 1:
      run(LICE_CombineAdd());
      break;
    case 2:
      run(LICE_CombineColorDodge());
      break;
    case 3:
      run(LICE_CombineMultiply());
      break;
    case 4:
      run(LICE_CombineOverlay());
      break;
    case 5:
      run(LICE_CombineHSVAdjust());
      break;
    default:
      break;
  }
  return d;
}

bool fastWeight(int w) {
  return w == 256 || w == 128 || w == 64 || w == 192;
}

void referenceFill(TestBitmap& bm, long long x, long long y, long long w, long long h,
                   LICE_pixel color, float alpha, int mode) {
  if (mode & LICE_BLIT_USE_ALPHA)
    alpha = static_cast<float>(alpha * static_cast<float>(LICE_GETA(color)) / 255.0);
  const int iw = LICE_IntWeight(alpha);
  const int op = mode & LICE_BLIT_MODE_MASK;
  for (int py = 0; py < bm.getHeight(); ++py) {
    for (int px = 0; px < bm.getWidth(); ++px) {
      if (px < x || px >= x + w || py < y || py >= y + h || !iw) continue;
      LICE_pixel& d = bm.at(px, py);
      if (op == 0 && fastWeight(iw)) {
        d = referenceFast(d, color, iw);
      } else if (op <= 5) {
        d = referenceSolid(d, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color), iw, iw, op);
      }
    }
  }
}

}  // namespace

TEST(FillTest, FillRectMatchesPerPixelReference) {
  std::mt19937 rng(21);
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap bm(1 + randomBelow(rng, 16), 1 + randomBelow(rng, 16), rng() % 2),
        expect(bm.getWidth(), bm.getHeight());
    bm.fillRandom(rng);
    expect.copyFrom(bm);
    const int x = static_cast<int>(rng() % 40) - 20, y = static_cast<int>(rng() % 40) - 20;
    const int w = static_cast<int>(rng() % 40) - 5, h = static_cast<int>(rng() % 40) - 5;
    LICE_pixel color = static_cast<LICE_pixel>(rng());
    if (rng() % 4 == 0) color |= 0xFF;
    const int mode = randomMode(rng);
    const float alpha = randomWeight(rng);
    LICE_FillRect(&bm, x, y, w, h, color, alpha, mode);
    referenceFill(expect, x, y, w, h, color, alpha, mode);
    ASSERT_EQ(bm.pixels(), expect.pixels()) << iter << " mode " << mode << " alpha " << alpha;
    ASSERT_TRUE(bm.guardsIntact());
  }
}

TEST(FillTest, FillRectEdgeCases) {
  TestBitmap bm(6, 2);
  LICE_FillRect(&bm, -3, 0, 5, 1, 0xFFFFFFFFu, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(bm.at(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bm.at(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bm.countNot(0), 2);

  // With source alpha, a transparent colour draws nothing at all.
  bm.fill(0x01020304u);
  LICE_FillRect(&bm, 0, 0, 6, 2, LICE_RGBA(255, 255, 255, 0), 1.0f, LICE_BLIT_USE_ALPHA);
  LICE_FillRect(&bm, 0, 0, 6, 2, LICE_RGBA(255, 255, 255, 0), 1.0f,
                LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_ADD);
  EXPECT_EQ(bm.countNot(0x01020304u), 0);
  // Half alpha under source alpha is the half-colour fast form.
  LICE_FillRect(&bm, 0, 0, 1, 1, LICE_RGBA(200, 100, 50, 128), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(bm.at(0, 0), referenceFast(0x01020304u, LICE_RGBA(200, 100, 50, 128), 128));

  // Rectangles far away or overflowing the int range draw nothing.
  bm.fill(0);
  LICE_FillRect(&bm, INT_MAX, 0, INT_MAX, 2, 0xFFu, 1.0f, 0);
  LICE_FillRect(&bm, INT_MIN, 0, INT_MAX, 2, 0xFFu, 1.0f, 0);
  LICE_FillRect(&bm, 0, 6, 2, 2, 0xFFu, 1.0f, 0);
  LICE_FillRect(nullptr, 0, 0, 2, 2, 0xFFu, 1.0f, 0);
  EXPECT_EQ(bm.countNot(0), 0);
  EXPECT_TRUE(bm.guardsIntact());
}

TEST(FillTest, ClearAndClearRectTouchOnlyThePixels) {
  TestBitmap bm(5, 4, true);
  LICE_Clear(&bm, 0x11223344u);
  EXPECT_EQ(bm.countNot(0x11223344u), 0);
  LICE_ClearRect(&bm, -1, 2, 3, 9, 0xFFFFFF00u, 0x7Fu);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(bm.at(x, y), x < 2 && y >= 2 ? 0x1122337Fu : 0x11223344u) << x << "," << y;
    }
  }
  LICE_ClearRect(&bm, 5, 0, 3, 3, 0, 0);
  LICE_ClearRect(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0);
  EXPECT_EQ(bm.countNot(0x11223344u), 4);
  EXPECT_TRUE(bm.guardsIntact());

  LICE_MemBitmap empty;
  LICE_Clear(&empty, 1);
  LICE_Clear(nullptr, 1);
  LICE_ClearRect(&empty, 0, 0, 1, 1, 0, 1);
}

TEST(FillTest, GetPixelAndPutPixelStayInside) {
  std::mt19937 rng(22);
  for (bool flipped : {false, true}) {
    TestBitmap bm(7, 3, flipped);
    bm.fillRandom(rng);
    for (int y = -1; y <= 3; ++y) {
      for (int x = -1; x <= 7; ++x) {
        const bool inside = x >= 0 && x < 7 && y >= 0 && y < 3;
        EXPECT_EQ(LICE_GetPixel(&bm, x, y), inside ? bm.at(x, y) : 0u);
      }
    }
    EXPECT_EQ(LICE_GetPixel(nullptr, 0, 0), 0u);

    for (int iter = 0; iter < 2000; ++iter) {
      TestBitmap expect(7, 3, flipped);
      expect.copyFrom(bm);
      const int x = static_cast<int>(rng() % 11) - 2, y = static_cast<int>(rng() % 7) - 2;
      const LICE_pixel color = static_cast<LICE_pixel>(rng());
      const int mode = randomMode(rng);
      const float alpha = randomWeight(rng);
      LICE_PutPixel(&bm, x, y, color, alpha, mode);
      const int w = LICE_IntWeight(alpha), op = mode & 0xFF;
      if (x >= 0 && x < 7 && y >= 0 && y < 3 && w) {
        LICE_pixel& d = expect.at(x, y);
        // The source-alpha bit does not count here.
        if (op == 0 && fastWeight(w)) {
          d = referenceFast(d, color, w);
        } else {
          d = referenceSolid(d, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
                             LICE_GETA(color), w, op);
        }
      }
      ASSERT_EQ(bm.pixels(), expect.pixels()) << iter;
    }
    EXPECT_TRUE(bm.guardsIntact());
  }
}
