#include "framework/window/gdi/TextDrawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/window/gdi/Fonts.h"
#include "tests/framework/window/gdi/gdi_canvas.h"

namespace {

int measuredWidth(HDC dc, const char* text, unsigned int format = DT_NOPREFIX) {
  RECT r = {10, 10, 10, 10};
  DrawText(dc, text, -1, &r, format | DT_CALCRECT);
  return r.right - 10;
}

int inkHeight(int fontHeight) {
  GdiCanvas canvas(200, 200, fontHeight);
  SetTextColor(canvas.dc(), RGB(255, 255, 255));
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT r = {0, 0, 200, 200};
  DrawText(canvas.dc(), "H", -1, &r, 0);
  const RECT ink = canvas.ink();
  return ink.bottom - ink.top;
}

}  // namespace

TEST(FontTest, NegativeHeightsAreCharacterHeightsPositiveOnesCellHeights) {
  // Capital letters scale with the character height.
  const int small = inkHeight(-10), large = inkHeight(-40);
  EXPECT_GT(small, 4);
  EXPECT_NEAR(large, 4 * small, 3);
  for (int cell : {12, 20, 33, 64}) {
    GdiCanvas cellFont(4, 4, cell);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(cellFont.dc(), &tm));
    EXPECT_NEAR(tm.tmHeight, cell, 1) << cell;
    EXPECT_GT(tm.tmInternalLeading, 0) << cell;
    EXPECT_LT(tm.tmInternalLeading, cell / 2 + 1) << cell;
  }
  GdiCanvas canvas(4, 4);
  // A width narrows the font to that average character width.
  HFONT natural = MakeFont(-20), narrow = MakeFont(-20, "Monaco", 6);
  TEXTMETRIC a, b;
  SelectObject(canvas.dc(), natural);
  GetTextMetrics(canvas.dc(), &a);
  const int naturalWidth = measuredWidth(canvas.dc(), "MMMM");
  SelectObject(canvas.dc(), narrow);
  GetTextMetrics(canvas.dc(), &b);
  EXPECT_NEAR(b.tmAveCharWidth, 6, 1);
  EXPECT_EQ(b.tmHeight, a.tmHeight);
  EXPECT_LT(measuredWidth(canvas.dc(), "MMMM"), naturalWidth * 3 / 4);
  DeleteObject(natural);
  DeleteObject(narrow);
}

TEST(FontTest, SelectingReturnsThePreviousFontAndDeletionIsRefusedTwice) {
  GdiCanvas canvas(100, 30);
  HDC dc = canvas.dc();
  HFONT a = MakeFont(-12), b = MakeFont(-14);
  HGDIOBJ stock = SelectObject(dc, a);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(dc, b), a);
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  EXPECT_FALSE(DeleteObject(stock));
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(a));
  EXPECT_EQ(SelectObject(dc, a), nullptr);
  // Deleting the selected font leaves it usable until it is replaced.
  EXPECT_TRUE(DeleteObject(b));
  SetTextColor(dc, RGB(255, 0, 0));
  RECT r = {0, 0, 100, 30};
  EXPECT_GT(DrawText(dc, "Hi", -1, &r, 0), 0);
  EXPECT_GT(canvas.ink().right, 0);
  EXPECT_EQ(SelectObject(dc, stock), b);

  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(255, 0, 0));
  EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), RGB(255, 255, 255));
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 99), TRANSPARENT);
  EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
}

TEST(TextDrawingTest, TextIsDrawnInItsColourAlignedInsideTheRectangle) {
  const struct {
    unsigned int format;
    int horizontal;  // -1 left, 0 centre, 1 right
    int vertical;
  } cases[] = {
      {DT_LEFT | DT_TOP, -1, -1},     {DT_CENTER, 0, -1},           {DT_RIGHT, 1, -1},
      {DT_CENTER | DT_VCENTER, 0, 0}, {DT_RIGHT | DT_BOTTOM, 1, 1}, {DT_VCENTER, -1, 0},
  };
  for (const auto& c : cases) {
    GdiCanvas canvas(200, 80, -14);
    SetTextColor(canvas.dc(), RGB(255, 0, 0));
    SetBkMode(canvas.dc(), TRANSPARENT);
    const RECT box = {20, 10, 180, 70};
    RECT r = box;
    TEXTMETRIC tm;
    GetTextMetrics(canvas.dc(), &tm);
    EXPECT_EQ(DrawText(canvas.dc(), "Hello", -1, &r, c.format), tm.tmHeight) << c.format;
    const RECT ink = canvas.ink();
    ASSERT_GT(ink.right, ink.left) << c.format;
    EXPECT_TRUE(ink.left >= box.left && ink.right <= box.right && ink.top >= box.top &&
                ink.bottom <= box.bottom)
        << c.format;
    const int slackX = c.horizontal < 0 ? ink.left - box.left
                       : c.horizontal > 0
                           ? box.right - ink.right
                           : std::abs((ink.left + ink.right) - (box.left + box.right)) / 2;
    EXPECT_LE(slackX, 3) << c.format;
    const int cellTop = c.vertical < 0   ? box.top
                        : c.vertical > 0 ? box.bottom - tm.tmHeight
                                         : (box.top + box.bottom - tm.tmHeight) / 2;
    EXPECT_TRUE(ink.top >= cellTop && ink.bottom <= cellTop + tm.tmHeight) << c.format;
    // Only red reaches the pixels, anti-aliased.
    bool partial = false;
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 200; ++x) {
        const uint8_t* p = canvas.at(x, y);
        ASSERT_TRUE(p[2] == 0 && p[3] == 0 && p[0] == p[1]) << c.format;
        partial |= p[1] > 0 && p[1] < 255;
      }
    }
    EXPECT_TRUE(partial) << c.format;
  }
}

TEST(TextDrawingTest, ClippingAndTheOpaqueBackground) {
  GdiCanvas canvas(200, 40, -14);
  HDC dc = canvas.dc();
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  RECT narrow = {10, 5, 30, 35};
  DrawText(dc, "Wider than the box", -1, &narrow, 0);
  EXPECT_LE(canvas.ink().right, 30);
  DrawText(dc, "Wider than the box", -1, &narrow, DT_NOCLIP);
  EXPECT_GT(canvas.ink().right, 60);

  GdiCanvas opaque(100, 30, -14);
  SetBkColor(opaque.dc(), RGB(0, 0, 200));
  RECT r = {5, 5, 95, 25};
  const int height = DrawText(opaque.dc(), "ab", -1, &r, 0);
  const int width = measuredWidth(opaque.dc(), "ab");
  EXPECT_EQ(opaque.at(5, 5)[3], 200);
  EXPECT_EQ(opaque.at(5 + width - 1, 5 + height - 1)[3], 200);
  EXPECT_EQ(opaque.at(5 + width, 5)[3], 0);
  EXPECT_EQ(opaque.at(5, 5 + height)[3], 0);
}

TEST(TextDrawingTest, MeasuresLinesPrefixesAndUtf8) {
  GdiCanvas canvas(4, 4, -12);
  HDC dc = canvas.dc();
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  const struct {
    const char* text;
    unsigned int format;
    int lines;
  } cases[] = {
      {"Hello", 0, 1},
      {"Hello\nWorld", 0, 2},
      {"Hello\r\nWorld", 0, 2},
      {"a\n", 0, 1},
      {"a\n\nb", 0, 3},
      {"", 0, 0},
      {"a\nb", DT_SINGLELINE, 1},
  };
  for (const auto& c : cases) {
    RECT r = {0, 0, 0, 0};
    EXPECT_EQ(DrawText(dc, c.text, -1, &r, c.format | DT_CALCRECT), c.lines * tm.tmHeight)
        << c.text;
    EXPECT_EQ(r.bottom, c.lines * tm.tmHeight) << c.text;
  }
  const int e = measuredWidth(dc, "e");
  EXPECT_GT(e, 0);
  EXPECT_EQ(measuredWidth(dc, "\xC3\xA9"), e);  // one é, not two bytes' worth
  EXPECT_EQ(measuredWidth(dc, "\xF0\x9D\x84\x9E"), e);
  EXPECT_EQ(measuredWidth(dc, "\xFF\xC3"), 2 * e);  // two replacement characters
  EXPECT_EQ(measuredWidth(dc, "Hello", 0), 5 * e);
  EXPECT_EQ(measuredWidth(dc, "&File", 0), 4 * e);
  EXPECT_EQ(measuredWidth(dc, "&&", 0), e);
  EXPECT_EQ(measuredWidth(dc, "&File"), 5 * e);
  RECT r = {0, 0, 0, 0};
  EXPECT_EQ(DrawText(dc, "Hello\nWorld", 5, &r, DT_CALCRECT), tm.tmHeight);
}

TEST(TextDrawingTest, MissingFacesResolveToOnesOfTheSameKind) {
  const struct {
    const char* face;
    bool fixedPitch;
  } cases[] = {
      {"Monaco", true}, {nullptr, true}, {"Helvetica", false}, {"No Such Face Anywhere", false}};
  for (const auto& c : cases) {
    GdiCanvas canvas(120, 30, -16, c.face);
    HDC dc = canvas.dc();
    EXPECT_EQ(measuredWidth(dc, "iiii") == measuredWidth(dc, "MMMM"), c.fixedPitch)
        << (c.face ? c.face : "(default)");
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = {0, 0, 120, 30};
    DrawText(dc, "Text", -1, &r, 0);
    EXPECT_GT(canvas.ink().right, 20) << (c.face ? c.face : "(default)");
  }
}
