#include "raster/LICE_CachedFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/MemContext.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_fill.h"
#include "tests/raster/test_bitmap.h"

namespace {

constexpr LICE_pixel kPaper = LICE_RGBA(0, 0, 0, 255);
constexpr LICE_pixel kInk = LICE_RGBA(255, 255, 255, 255);

// A font over a new handle it owns.
std::unique_ptr<LICE_CachedFont> makeFont(int flags, int height = -14) {
  auto font = std::make_unique<LICE_CachedFont>();
  font->SetFromHFont(CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"),
                     flags | LICE_FONT_FLAG_OWNS_HFONT);
  font->SetTextColor(kInk);
  return font;
}

// Where the pixels differ from the paper; empty when nowhere.
RECT inkOf(const LICE_IBitmap* bm) {
  RECT r = {bm->getWidth(), bm->getHeight(), 0, 0};
  for (int y = 0; y < bm->getHeight(); ++y) {
    for (int x = 0; x < bm->getWidth(); ++x) {
      if (LICE_GetPixel(bm, x, y) == kPaper) continue;
      r = {std::min<int>(r.left, x), std::min<int>(r.top, y), std::max(r.right, x + 1),
           std::max(r.bottom, y + 1)};
    }
  }
  return r;
}

int count(const LICE_IBitmap* bm, LICE_pixel color) {
  int n = 0;
  for (int y = 0; y < bm->getHeight(); ++y) {
    for (int x = 0; x < bm->getWidth(); ++x)
      n += LICE_GetPixel(bm, x, y) == color;
  }
  return n;
}

bool isAlive(HFONT font) {
  HDC dc = SWELL_CreateMemContext(nullptr, 1, 1);
  const bool alive = SelectObject(dc, font) != nullptr;
  SWELL_DeleteGfxContext(dc);
  return alive;
}

// The native path, drawn through the shared bitmap or straight into a
// bitmap's own context, and the glyph path.
struct Path {
  const char* name;
  int flags;
  bool systemBitmap;
};
const Path kPaths[] = {{"native", LICE_FONT_FLAG_FORCE_NATIVE, false},
                       {"native direct", LICE_FONT_FLAG_FORCE_NATIVE, true},
                       {"glyphs", 0, false}};

}  // namespace

TEST(CachedFontTest, MeasuringWithoutABitmapGivesTheSameExtentOnBothPaths) {
  int widths[2];
  for (int i = 0; i < 2; ++i) {
    auto font = makeFont(i ? 0 : LICE_FONT_FLAG_FORCE_NATIVE);
    RECT r = {5, 7, 5, 7};
    EXPECT_EQ(font->DrawText(nullptr, "Hello", -1, &r, DT_CALCRECT), font->GetLineHeight());
    EXPECT_GT(font->GetLineHeight(), 14);
    EXPECT_EQ(r.bottom, 7 + font->GetLineHeight());
    widths[i] = r.right - r.left;
    EXPECT_EQ(font->DrawText(nullptr, "Hello", -1, &r, 0), 0);
  }
  EXPECT_GT(widths[0], 30);
  EXPECT_EQ(widths[0], widths[1]);
}

TEST(CachedFontTest, TextStaysInsideItsRectangleWithEveryAlignmentOnEveryPath) {
  const struct {
    unsigned int format;
    int horizontal;  // -1 left, 0 centre, 1 right
  } cases[] = {{0, -1}, {DT_CENTER | DT_VCENTER, 0}, {DT_RIGHT | DT_BOTTOM, 1}};
  for (const Path& path : kPaths) {
    for (const auto& c : cases) {
      auto font = makeFont(path.flags);
      std::unique_ptr<LICE_IBitmap> bm;
      if (path.systemBitmap) {
        bm = std::make_unique<LICE_SysBitmap>(160, 50);
      } else {
        bm = std::make_unique<TestBitmap>(160, 50, true);
      }
      LICE_Clear(bm.get(), kPaper);
      const RECT box = {10, 5, 150, 45};
      RECT r = box;
      EXPECT_EQ(font->DrawText(bm.get(), "Hello", -1, &r, c.format), font->GetLineHeight());
      const RECT ink = inkOf(bm.get());
      ASSERT_GT(ink.right, ink.left) << path.name << " " << c.format;
      EXPECT_TRUE(ink.left >= box.left && ink.right <= box.right && ink.top >= box.top &&
                  ink.bottom <= box.bottom)
          << path.name << " " << c.format;
      const int slack = c.horizontal < 0 ? ink.left - box.left
                        : c.horizontal > 0
                            ? box.right - ink.right
                            : std::abs(ink.left + ink.right - box.left - box.right) / 2;
      EXPECT_LE(slack, 3) << path.name << " " << c.format;
      EXPECT_TRUE(path.systemBitmap || static_cast<TestBitmap*>(bm.get())->guardsIntact());
    }
  }
}

TEST(CachedFontTest, NativeAndGlyphPathsDrawAlike) {
  TestBitmap pictures[3] = {TestBitmap(120, 30), TestBitmap(120, 30), TestBitmap(120, 30)};
  const struct {
    int flags;
    float alpha;
  } cases[] = {{LICE_FONT_FLAG_FORCE_NATIVE, 1.0f}, {0, 1.0f}, {0, 0.5f}};
  for (int i = 0; i < 3; ++i) {
    auto font = makeFont(cases[i].flags);
    font->SetCombineMode(LICE_BLIT_MODE_COPY, cases[i].alpha);
    pictures[i].fill(kPaper);
    RECT r = {3, 3, 117, 27};
    font->DrawText(&pictures[i], "Mix \xC2\xBD \xE2\x86\x92 5\xC2\xB0", -1, &r, DT_CENTER);
  }
  int differing = 0, brightest = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 120; ++x) {
      const int a = LICE_GETG(pictures[0].at(x, y)), b = LICE_GETG(pictures[1].at(x, y));
      differing += std::abs(a - b) > 2;
      brightest = std::max(brightest, LICE_GETG(pictures[2].at(x, y)));
    }
  }
  EXPECT_GT(count(&pictures[0], kPaper), 0);
  EXPECT_LT(count(&pictures[0], kPaper), 120 * 30 - 50);
  EXPECT_EQ(differing, 0);
  EXPECT_NEAR(brightest, 128, 2);
}

TEST(CachedFontTest, SizesLineFeedsAndSpacing) {
  auto small = makeFont(0, -10), large = makeFont(0, -20);
  EXPECT_LT(small->GetLineHeight() * 3 / 2, large->GetLineHeight());
  const int lh = small->GetLineHeight();
  const struct {
    const char* text;
    unsigned int format;
    int spacing;
    int height;
  } cases[] = {
      {"a\nb", 0, 0, 2 * lh},
      {"a\nb", 0, 3, 2 * lh + 3},
      {"a\nb", DT_SINGLELINE, 3, lh},
      {"a\r\nb\n", 0, 0, 2 * lh},
      {"", 0, 0, 0},
  };
  for (const Path& path : kPaths) {
    for (const auto& c : cases) {
      auto font = makeFont(path.flags, -10);
      font->SetLineSpacingAdjust(c.spacing);
      RECT r = {0, 0, 0, 0};
      EXPECT_EQ(font->DrawText(nullptr, c.text, -1, &r, DT_CALCRECT | c.format), c.height)
          << path.name << " " << c.text << " " << c.spacing;
    }
  }
  RECT one = {0, 0, 0, 0}, spaced = {0, 0, 0, 0};
  small->DrawText(nullptr, "a b", -1, &one, DT_CALCRECT);
  small->DrawText(nullptr, "a\nb", -1, &spaced, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(one.right, spaced.right);
}

TEST(CachedFontTest, PrecalculatedFontsDrawNothingBeyondAscii) {
  auto font = makeFont(LICE_FONT_FLAG_PRECALCALL);
  TestBitmap bm(60, 30);
  bm.fill(kPaper);
  RECT r = {0, 0, 60, 30};
  font->DrawText(&bm, "\xC3\xA9\xE2\x82\xAC", -1, &r, 0);
  EXPECT_EQ(count(&bm, kPaper), 60 * 30);
  font->DrawText(&bm, "e", -1, &r, 0);
  EXPECT_LT(count(&bm, kPaper), 60 * 30);
  EXPECT_FALSE(font->DrawGlyph(&bm, 0xE9, 0, 0, nullptr));
  EXPECT_TRUE(font->DrawGlyph(&bm, 'e', 0, 0, nullptr));
}

TEST(CachedFontTest, OwnedHandlesAreDeletedWhenReplacedOrDestroyed) {
  HFONT a = CreateFont(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  HFONT b = CreateFont(-13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  HFONT c = CreateFont(-14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  {
    LICE_CachedFont font;
    font.SetFromHFont(a, LICE_FONT_FLAG_OWNS_HFONT);
    font.SetFromHFont(a, LICE_FONT_FLAG_OWNS_HFONT);
    EXPECT_TRUE(isAlive(a));
    font.SetFromHFont(b, LICE_FONT_FLAG_OWNS_HFONT);
    EXPECT_FALSE(isAlive(a));
    EXPECT_EQ(font.GetHFont(), b);
    font.SetFromHFont(c, 0);
    EXPECT_FALSE(isAlive(b));
  }
  EXPECT_TRUE(isAlive(c));
  EXPECT_TRUE(DeleteObject(c));
}

TEST(CachedFontTest, EffectsShapeTheGlyphMasks) {
  constexpr LICE_pixel kEffect = LICE_RGBA(255, 0, 0, 255);
  auto render = [&](int flags, RECT* extent) {
    auto font = makeFont(flags, -16);
    font->SetEffectColor(kEffect);
    auto bm = std::make_unique<TestBitmap>(100, 100);
    bm->fill(kPaper);
    RECT r = {10, 10, 90, 90};
    font->DrawText(bm.get(), "Hello", -1, &r, 0);
    *extent = {0, 0, 0, 0};
    font->DrawText(nullptr, "Hello", -1, extent, DT_CALCRECT);
    return bm;
  };
  RECT plainExtent, extent;
  const auto plain = render(0, &plainExtent);
  const int plainInk = 100 * 100 - count(plain.get(), kPaper);

  const auto mono = render(LICE_FONT_FLAG_FX_MONO, &extent);
  EXPECT_EQ(count(mono.get(), kPaper) + count(mono.get(), kInk), 100 * 100);
  EXPECT_GT(count(mono.get(), kInk), plainInk / 3);

  const auto shadow = render(LICE_FONT_FLAG_FX_SHADOW, &extent);
  const auto outline = render(LICE_FONT_FLAG_FX_OUTLINE, &extent);
  EXPECT_GT(count(shadow.get(), kEffect), 20);
  EXPECT_GT(count(outline.get(), kEffect), count(shadow.get(), kEffect));
  EXPECT_EQ(
      count(outline.get(), kPaper) + count(outline.get(), kInk) + count(outline.get(), kEffect),
      100 * 100);

  const auto inverted = render(LICE_FONT_FLAG_FX_INVERT, &extent);
  EXPECT_GT(100 * 100 - count(inverted.get(), kPaper), plainExtent.right * plainExtent.bottom / 2);

  const auto blurred = render(LICE_FONT_FLAG_FX_BLUR, &extent);
  EXPECT_GT(100 * 100 - count(blurred.get(), kPaper), plainInk);

  for (int vertical :
       {LICE_FONT_FLAG_VERTICAL, LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP}) {
    const auto turned = render(vertical, &extent);
    EXPECT_EQ(extent.right, plainExtent.bottom);
    EXPECT_EQ(extent.bottom, plainExtent.right);
    const RECT ink = inkOf(turned.get());
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
  }
}

TEST(CachedFontTest, OpaqueBackgroundAndSetters) {
  constexpr LICE_pixel kBack = LICE_RGBA(0, 0, 200, 255);
  for (const Path& path : kPaths) {
    auto font = makeFont(path.flags);
    EXPECT_EQ(font->SetBkMode(LICE_BKMODE_OPAQUE), LICE_BKMODE_TRANSPARENT);
    EXPECT_EQ(font->SetBkColor(kBack), 0xFFFFFFFFu);
    EXPECT_EQ(font->SetTextColor(kInk), kInk);
    EXPECT_EQ(font->SetEffectColor(1), 0xFFFFFFFFu);
    TestBitmap bm(80, 30);
    bm.fill(kPaper);
    RECT r = {5, 5, 75, 25};
    font->DrawText(&bm, "ab", -1, &r, 0);
    RECT extent = {5, 5, 5, 5};
    font->DrawText(nullptr, "ab", -1, &extent, DT_CALCRECT);
    EXPECT_EQ(bm.at(5, 5), kBack) << path.name;
    EXPECT_EQ(bm.at(extent.right - 1, 5), kBack) << path.name;
    EXPECT_EQ(bm.at(extent.right, 5), kPaper) << path.name;
    EXPECT_EQ(bm.at(4, 5), kPaper) << path.name;
  }
}
