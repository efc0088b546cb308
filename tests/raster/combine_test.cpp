#include "raster/lice_combine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "raster/lice_hsv.h"
#include "raster/lice_pixel.h"
#include "tests/raster/test_bitmap.h"

namespace {

// Plain per-channel references, written with floating-point division and an
// explicit rounding so that they share no arithmetic shortcuts with the
// library.
int truncQ(double n, double d) {
  return static_cast<int>(std::trunc(n / d));
}
int floorQ(double n, double d) {
  return static_cast<int>(std::floor(n / d));
}
int clamp255(int v) {
  return std::min(255, std::max(0, v));
}

int refCopy(int c, int s, int w) {
  return s + truncQ((c - s) * (256 - w), 256);
}
int refAdd(int c, int s, int w) {
  return clamp255(c + truncQ(s * w, 256));
}
int refDodge(int c, int s, int w) {
  const int t = 256 - truncQ(s * w, 256);
  return clamp255(t >= 2 ? truncQ(c * 256, t) : c * 256);
}
int refMultiply(int c, int s, int w) {
  return floorQ(c * ((256.0 - w) * 256 + s * w), 65536);
}
int refOverlay(int c, int s, int w) {
  const int k = s * w + (256 - w) * 128;
  return clamp255(floorQ(c * (truncQ(c * (32768.0 - k), 256) + k), 32768));
}
int refHalf(int c, int s, int) {
  return floorQ(c + s, 2);
}

struct Case {
  LICE_pixel dest;
  int src[4];  // memory order: alpha, red, green, blue
  int w;
};

Case randomCase(std::mt19937& rng) {
  Case c;
  c.dest = static_cast<LICE_pixel>(rng());
  for (int& v : c.src)
    v = static_cast<int>(rng() % 256);
  // Weights 0 and 256 and the values next to them come up often.
  const int pick = static_cast<int>(rng() % 8);
  c.w = pick == 0   ? 0
        : pick == 1 ? 256
        : pick == 2 ? 255
        : pick == 3 ? 1
                    : static_cast<int>(rng() % 257);
  return c;
}

template <class Combiner>
LICE_pixel apply(const Case& c, int w) {
  LICE_pixel d = c.dest;
  Combiner::doPix(reinterpret_cast<LICE_pixel_chan*>(&d), c.src[LICE_PIXEL_R], c.src[LICE_PIXEL_G],
                  c.src[LICE_PIXEL_B], c.src[LICE_PIXEL_A], w);
  return d;
}

template <class Ref>
LICE_pixel applyRef(const Case& c, int w, Ref ref) {
  int d[4];
  channelsOf(c.dest, d);
  LICE_pixel out = 0;
  for (int ch = 0; ch < 4; ++ch) {
    out |= static_cast<LICE_pixel>(ref(d[ch], c.src[ch], w) & 255) << (8 * ch);
  }
  return out;
}

constexpr int kCases = 20000;

}  // namespace

TEST(CombineTest, PlainOperationsMatchPerChannelReferences) {
  std::mt19937 rng(1);
  for (int i = 0; i < kCases; ++i) {
    const Case c = randomCase(rng);
    ASSERT_EQ(apply<LICE_CombineCopy>(c, c.w), applyRef(c, c.w, refCopy)) << i;
    ASSERT_EQ(apply<LICE_CombineAdd>(c, c.w), applyRef(c, c.w, refAdd)) << i;
    ASSERT_EQ(apply<LICE_CombineColorDodge>(c, c.w), applyRef(c, c.w, refDodge)) << i;
    ASSERT_EQ(apply<LICE_CombineMultiply>(c, c.w), applyRef(c, c.w, refMultiply)) << i;
    ASSERT_EQ(apply<LICE_CombineOverlay>(c, c.w), applyRef(c, c.w, refOverlay)) << i;
    ASSERT_EQ(apply<LICE_CombineHalfMix>(c, c.w), applyRef(c, c.w, refHalf)) << i;
    ASSERT_EQ(apply<LICE_CombineClobber>(c, c.w),
              applyRef(c, c.w, [](int, int s, int) { return s; }));
  }
}

TEST(CombineTest, SourceAlphaFormsWeightBySourceAlpha) {
  std::mt19937 rng(2);
  for (int i = 0; i < kCases; ++i) {
    Case c = randomCase(rng);
    if (i % 5 == 0) c.src[LICE_PIXEL_A] = i % 10 == 0 ? 0 : 255;
    const int a = c.src[LICE_PIXEL_A];
    const int wa = floorQ(c.w * (a + 1), 256);
    int d[4];
    channelsOf(c.dest, d);

    // Copy: colour at w', alpha accumulates w'.
    LICE_pixel expect = c.dest;
    if (a) {
      expect = applyRef(c, wa, refCopy);
      expect = (expect & ~0xFFu) | static_cast<LICE_pixel>(std::min(d[LICE_PIXEL_A] + wa, 255));
    }
    ASSERT_EQ(apply<LICE_CombineCopySourceAlpha>(c, c.w), expect) << i;

    // Copy at full weight.
    expect = c.dest;
    if (a == 255) {
      expect = LICE_RGBA(c.src[LICE_PIXEL_R], c.src[LICE_PIXEL_G], c.src[LICE_PIXEL_B], 255);
    } else if (a) {
      expect =
          applyRef(c, 0, [a](int ch, int s, int) { return s + truncQ((ch - s) * (255 - a), 256); });
      expect = (expect & ~0xFFu) | static_cast<LICE_pixel>(std::min(d[LICE_PIXEL_A] + a, 255));
    }
    ASSERT_EQ(apply<LICE_CombineCopySourceAlphaFull>(c, 256), expect) << i;

    // Add and multiply skip transparent sources; the others do not.
    ASSERT_EQ(apply<LICE_CombineAddSourceAlpha>(c, c.w), a ? applyRef(c, wa, refAdd) : c.dest);
    ASSERT_EQ(apply<LICE_CombineMultiplySourceAlpha>(c, c.w),
              a ? applyRef(c, wa, refMultiply) : c.dest);
    ASSERT_EQ(apply<LICE_CombineColorDodgeSourceAlpha>(c, c.w), applyRef(c, wa, refDodge));
    ASSERT_EQ(apply<LICE_CombineOverlaySourceAlpha>(c, c.w), applyRef(c, wa, refOverlay));
    ASSERT_EQ(apply<LICE_CombineHSVAdjustSourceAlpha>(c, c.w), apply<LICE_CombineHSVAdjust>(c, wa));
  }
}

TEST(CombineTest, ClampedFormsClampOutOfRangeSourcesWherePlainOnesWrap) {
  std::mt19937 rng(3);
  for (int i = 0; i < kCases; ++i) {
    Case c = randomCase(rng);
    for (int& v : c.src)
      v = static_cast<int>(rng() % 700) - 200;
    ASSERT_EQ(apply<LICE_CombineClobberClamp>(c, c.w),
              applyRef(c, c.w, [](int, int s, int) { return clamp255(s); }));
    ASSERT_EQ(apply<LICE_CombineClobber>(c, c.w),
              applyRef(c, c.w, [](int, int s, int) { return s; }));
    ASSERT_EQ(apply<LICE_CombineCopyClamp>(c, c.w),
              applyRef(c, c.w, [](int ch, int s, int w) { return clamp255(refCopy(ch, s, w)); }));
    ASSERT_EQ(apply<LICE_CombineCopy>(c, c.w), applyRef(c, c.w, refCopy));
    ASSERT_EQ(apply<LICE_CombineMultiplyClamp>(c, c.w), applyRef(c, c.w, [](int ch, int s, int w) {
                return clamp255(refMultiply(ch, s, w));
              }));
  }
}

TEST(CombineTest, WorkedValues) {
  auto one = [](auto combiner, int dest, int src, int w) {
    LICE_pixel d = LICE_RGBA(dest, dest, dest, dest);
    decltype(combiner)::doPix(reinterpret_cast<LICE_pixel_chan*>(&d), src, src, src, src, w);
    return LICE_GETR(d);
  };
  EXPECT_EQ(one(LICE_CombineAdd(), 100, 200, 256), 255);
  EXPECT_EQ(one(LICE_CombineCopy(), 255, 0, 128), 127);
  // Dodge with a full-strength white source multiplies by 256 and clamps.
  EXPECT_EQ(one(LICE_CombineColorDodge(), 1, 255, 256), 255);
  EXPECT_EQ(one(LICE_CombineColorDodge(), 0, 255, 256), 0);
  EXPECT_EQ(one(LICE_CombineColorDodge(), 100, 0, 256), 100);
  EXPECT_EQ(one(LICE_CombineMultiply(), 200, 255, 256), 199);
  EXPECT_EQ(one(LICE_CombineMultiply(), 200, 0, 256), 0);
  EXPECT_EQ(one(LICE_CombineOverlay(), 0, 200, 256), 0);
  EXPECT_EQ(one(LICE_CombineHalfMix(), 3, 6, 0), 4);
}

TEST(CombineTest, WholePixelFormsShiftEachChannelSeparately) {
  std::mt19937 rng(4);
  for (int i = 0; i < kCases; ++i) {
    const LICE_pixel d = static_cast<LICE_pixel>(rng()), s = static_cast<LICE_pixel>(rng());
    int dc[4], sc[4], half[4], mixHalf[4], mixQ[4], mix3Q[4];
    channelsOf(d, dc);
    channelsOf(s, sc);
    const LICE_SolidMix mix(s);
    channelsOf(LICE_HalfMixPixels(d, s), half);
    channelsOf(mix.mixHalf(d), mixHalf);
    channelsOf(mix.mixQuarter(d), mixQ);
    channelsOf(mix.mixThreeQuarters(d), mix3Q);
    for (int ch = 0; ch < 4; ++ch) {
      // No channel carries into its neighbour; the low bits are lost.
      ASSERT_EQ(half[ch], dc[ch] / 2 + sc[ch] / 2);
      ASSERT_EQ(mixHalf[ch], dc[ch] / 2 + sc[ch] / 2);
      ASSERT_EQ(mixQ[ch], dc[ch] / 2 + dc[ch] / 4 + sc[ch] / 4);
      ASSERT_EQ(mix3Q[ch], dc[ch] / 4 + sc[ch] / 2 + sc[ch] / 4);
      // And each stays within two of the copy formula at the same weight.
      ASSERT_LE(std::abs(mixQ[ch] - refCopy(dc[ch], sc[ch], 64)), 2);
      ASSERT_LE(std::abs(mix3Q[ch] - refCopy(dc[ch], sc[ch], 192)), 2);
    }
    ASSERT_EQ(mix.mix(d, 256), s);
    ASSERT_EQ(mix.mix(d, 64), mix.mixQuarter(d));
  }
}

TEST(CombineTest, HsvConversionAgreesWithFloatingPointHsv) {
  int worstRoundTrip = 0;
  for (int r = 0; r < 256; r += 3) {
    for (int g = 0; g < 256; g += 5) {
      for (int b = 0; b < 256; b += 7) {
        int h, s, v;
        LICE_RGB2HSV(r, g, b, &h, &s, &v);
        const int mx = std::max({r, g, b}), mn = std::min({r, g, b}), delta = mx - mn;
        ASSERT_EQ(v, mx);
        ASSERT_GE(h, 0);
        ASSERT_LT(h, 384);
        if (mx) {
          ASSERT_LE(s, 255);
          ASSERT_NEAR(s, 255.0 * delta / mx, 2.0) << r << "," << g << "," << b;
        }
        if (delta) {
          // Hue in sixths of a turn, times 64.
          double h6 = mx == r   ? std::fmod((g - b) / static_cast<double>(delta) + 6, 6)
                      : mx == g ? (b - r) / static_cast<double>(delta) + 2
                                : (r - g) / static_cast<double>(delta) + 4;
          const double diff = std::fabs(h - 64 * h6);
          ASSERT_LE(std::min(diff, 384 - diff), 1.5) << r << "," << g << "," << b;
        }
        int rr, gg, bb;
        LICE_HSV2RGB(h, s, v, &rr, &gg, &bb);
        worstRoundTrip =
            std::max({worstRoundTrip, std::abs(rr - r), std::abs(gg - g), std::abs(bb - b)});
      }
    }
  }
  // One hue step is a 64th of a sector: up to four levels of a bright channel.
  EXPECT_LE(worstRoundTrip, 6);
}

TEST(CombineTest, HsvAdjustShiftsHueSaturationAndValue) {
  std::mt19937 rng(5);
  auto adjust = [](LICE_pixel d, int r, int g, int b, int a, int w) {
    LICE_CombineHSVAdjust::doPix(reinterpret_cast<LICE_pixel_chan*>(&d), r, g, b, a, w);
    return d;
  };
  for (int i = 0; i < kCases; ++i) {
    const LICE_pixel d = static_cast<LICE_pixel>(rng());
    const int w = static_cast<int>(rng() % 257);
    int h0, s0, v0, h1, s1, v1;
    LICE_RGB2HSV(LICE_GETR(d), LICE_GETG(d), LICE_GETB(d), &h0, &s0, &v0);
    // Neutral: hue, saturation and value kept, the pixel rebuilt from them.
    const LICE_pixel neutral = adjust(d, 128, 128, 128, 77, w);
    int rr, gg, bb;
    LICE_HSV2RGB(h0, s0, v0, &rr, &gg, &bb);
    ASSERT_EQ(neutral, LICE_RGBA(rr, gg, bb, 77));
    // Saturation and value move by (source - 128) x w / 128, clamped.
    const int sg = static_cast<int>(rng() % 256), sb = static_cast<int>(rng() % 256);
    const LICE_pixel moved = adjust(d, 128, sg, sb, 0, w);
    LICE_RGB2HSV(LICE_GETR(moved), LICE_GETG(moved), LICE_GETB(moved), &h1, &s1, &v1);
    ASSERT_EQ(v1, clamp255(v0 + truncQ((sb - 128) * w, 128)));
    const int s = clamp255(s0 + truncQ((sg - 128) * w, 128));
    if (s == 0) {
      ASSERT_TRUE(LICE_GETR(moved) == LICE_GETG(moved) && LICE_GETG(moved) == LICE_GETB(moved));
    }
  }
  // Hue turns by (r + r / 2 - 192) x w / 256 and wraps; shown on fully
  // saturated colours, whose hue survives the round trip.
  for (int base : {0, 128, 256}) {
    int r0, g0, b0;
    LICE_HSV2RGB(base, 255, 255, &r0, &g0, &b0);
    for (int r = 0; r < 256; r += 17) {
      const int shift = ((r + r / 2 - 192) * 256) / 256;
      const LICE_pixel p = adjust(LICE_RGBA(r0, g0, b0, 255), r, 128, 128, 255, 256);
      int h, s, v;
      LICE_RGB2HSV(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p), &h, &s, &v);
      const int expect = ((base + shift) % 384 + 384) % 384;
      const int diff = std::abs(h - expect);
      ASSERT_LE(std::min(diff, 384 - diff), 2) << base << " " << r;
    }
  }
}
