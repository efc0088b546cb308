// The editor's drawing operations, checked pixel by pixel against what the
// raster rules make of their arguments.
#include <gtest/gtest.h>

#include <climits>

#include "editor_harness.h"
#include "framework/editor/DrawBitmapedText.h"
#include "framework/editor/LiceConversions.h"

namespace {

constexpr IChannelBlend kCopy(IChannelBlend::kBlendCopy);
const IColor kInk(255, 200, 40, 90);

}  // namespace

// Only dest within the rectangle being redrawn changes, read from the
// source at the same offset; what lies past the source or outside the
// redraw stays as it was.
TEST(EditorDrawingTest, BitmapBlitTouchesOnlyTheDestinationInsideTheRedrawArea) {
  TestEditor editor(64, 48);
  LICE_MemBitmap pixels(20, 10);
  PaintPositions(&pixels);
  IBitmap bitmap(&pixels, 20, 10);
  const IRECT dest(5, 4, 25, 14), area(10, 6, 40, 30);

  for (const IChannelBlend* blend : {&kCopy, static_cast<const IChannelBlend*>(nullptr)}) {
    editor.Fill(kUntouched);
    editor.DrawDuring(area, [&](IGraphics* g) {
      IRECT d = dest;
      EXPECT_TRUE(g->DrawBitmap(&bitmap, &d, 2, 1, blend));
      IRECT outside(50, 32, 60, 40);
      EXPECT_TRUE(g->DrawBitmap(&bitmap, &outside, 0, 0, blend));
    });
    // Opaque pixels copy exactly under both the plain and the alpha copy.
    EXPECT_EQ(editor.Pixels(), Expected(64, 48, [&](int x, int y) {
                const int sx = 2 + x - dest.L, sy = 1 + y - dest.T;
                const bool drawn = x >= area.L && y >= area.T && x < dest.R && y < dest.B;
                return drawn && sx < 20 && sy < 10 ? PositionCode(sx, sy) : kUntouched;
              }));
  }
}

// state counts from 1; the offset along the strip is
// int(0.5 + extent * (state - 1) / N), anything below 2 is the first frame.
TEST(EditorDrawingTest, StateSelectsTheFrameAtTheRoundedOffsetAlongTheStrip) {
  TestEditor editor(48, 48);
  LICE_MemBitmap tallPixels(2, 128 * 40);
  PaintPositions(&tallPixels);
  IBitmap tall(&tallPixels, 2, 128 * 40, 128);
  // The first source row that lands at the top of (0, 0, 2, 40), or -1
  // when nothing is drawn; every row below it must follow in order, up to
  // the end of the strip, and nothing past it.
  auto firstRow = [&](IBitmap* strip, int state) {
    editor.Fill(kUntouched);
    IRECT dest(0, 0, 2, 40);
    EXPECT_TRUE(editor.DrawBitmap(strip, &dest, state, &kCopy));
    if (editor.At(0, 0) == kUntouched) return -1;
    const int top = RowOfCode(editor.At(0, 0));
    for (int y = 0; y < 40; ++y) {
      const LICE_pixel want = top + y < strip->H ? PositionCode(1, top + y) : kUntouched;
      EXPECT_EQ(editor.At(1, y), want) << "state " << state << " row " << y;
    }
    return top;
  };
  EXPECT_EQ(firstRow(&tall, 128), 5080);
  EXPECT_EQ(firstRow(&tall, 2), 40);
  EXPECT_EQ(firstRow(&tall, 1), 0);
  EXPECT_EQ(firstRow(&tall, 0), 0);
  EXPECT_EQ(firstRow(&tall, -7), 0);
  // Past the strip there is nothing to read, however far.
  EXPECT_EQ(firstRow(&tall, 129), -1);
  EXPECT_EQ(firstRow(&tall, INT_MAX), -1);

  // Rounding: 100 / 3 frames start at 0, int(33.8) = 33, int(67.2) = 67.
  LICE_MemBitmap thirds(2, 100);
  PaintPositions(&thirds);
  IBitmap stacked(&thirds, 2, 100, 3);
  EXPECT_EQ(firstRow(&stacked, 2), 33);
  EXPECT_EQ(firstRow(&stacked, 3), 67);
  IBitmap single(&thirds, 2, 100, 1);
  EXPECT_EQ(firstRow(&single, 5), 0);

  LICE_MemBitmap wide(100, 2);
  PaintPositions(&wide);
  IBitmap sideBySide(&wide, 100, 2, 3, true);
  for (const auto& [state, column] : {std::pair{1, 0}, {2, 33}, {3, 67}}) {
    editor.Fill(kUntouched);
    IRECT dest(0, 0, 33, 2);
    EXPECT_TRUE(editor.DrawBitmap(&sideBySide, &dest, state, &kCopy));
    EXPECT_EQ(editor.At(0, 0), PositionCode(column, 0)) << state;
    EXPECT_EQ(editor.At(32, 1), PositionCode(column + 32, 1)) << state;
    EXPECT_EQ(editor.At(33, 0), kUntouched);
  }
}

// ForcePixel stores the packed colour as is and nothing outside the
// surface; GetPoint reads it back. The fraction lines and the outline land
// on the rows and columns the rules name, drawn as plain copies.
TEST(EditorDrawingTest, ForcedPixelsAndEdgeLinesLandExactlyWhereTheRulesSay) {
  TestEditor editor(40, 30);
  editor.Fill(kUntouched);
  const IColor translucent(100, 10, 20, 30);
  EXPECT_TRUE(editor.ForcePixel(&translucent, 3, 4));
  EXPECT_EQ(editor.GetBits()[4 * editor.GetDrawBitmap()->getRowSpan() + 3],
            LICE_RGBA(10, 20, 30, 100));
  EXPECT_EQ(editor.GetPoint(3, 4), translucent);
  for (const auto& [x, y] : {std::pair{-1, 0}, {40, 0}, {0, 30}, {0, -1}, {INT_MAX, INT_MAX}}) {
    EXPECT_FALSE(editor.ForcePixel(&translucent, x, y)) << x << "," << y;
    EXPECT_EQ(editor.GetPoint(x, y), IColor(0, 0, 0, 0));
  }
  EXPECT_EQ(editor.Pixels(), Expected(40, 30, [&](int x, int y) {
              return x == 3 && y == 4 ? LICE_RGBA(10, 20, 30, 100) : kUntouched;
            }));

  // Lines are plain copies at full weight: even a translucent colour is
  // stored, not mixed.
  const LICE_pixel ink = LiceColor(&translucent);
  IRECT r(5, 6, 25, 16);
  auto only = [&](auto onLine) {
    return Expected(40, 30, [&](int x, int y) { return onLine(x, y) ? ink : kUntouched; });
  };
  for (const auto& [fraction, row] :
       {std::pair{0.0f, 16}, {1.0f, 6}, {-3.0f, 16}, {7.0f, 6}, {0.5f, 11}, {0.7f, 9}}) {
    editor.Fill(kUntouched);
    EXPECT_TRUE(editor.DrawHorizontalLine(&translucent, &r, fraction));
    EXPECT_EQ(editor.Pixels(), only([&](int x, int y) { return y == row && x >= 5 && x <= 25; }))
        << "y fraction " << fraction;
  }
  for (const auto& [fraction, column] : {std::pair{0.0f, 5}, {1.0f, 25}, {0.25f, 10}}) {
    editor.Fill(kUntouched);
    EXPECT_TRUE(editor.DrawVerticalLine(&translucent, &r, fraction));
    EXPECT_EQ(editor.Pixels(), only([&](int x, int y) { return x == column && y >= 6 && y <= 16; }))
        << "x fraction " << fraction;
  }
  editor.Fill(kUntouched);
  EXPECT_TRUE(editor.DrawRect(&translucent, &r));
  EXPECT_EQ(editor.Pixels(), only([&](int x, int y) {
              const bool rows = (y == 6 || y == 16) && x >= 5 && x <= 25;
              const bool columns = (x == 5 || x == 25) && y >= 6 && y <= 16;
              return rows || columns;
            }));
}

// Fills cover [L, R) x [T, B) and nothing else, however far the rectangle
// reaches; a rounded fill with no radius is the plain fill, with one its
// corners stay open.
TEST(EditorDrawingTest, FillsCoverTheirRectangleAndRoundedCornersStayOpen) {
  TestEditor editor(40, 30);
  const LICE_pixel ink = LiceColor(&kInk);
  IRECT r(4, 3, 20, 25);
  auto inside = [&](int x, int y) { return x >= r.L && x < r.R && y >= r.T && y < r.B; };
  const auto plain =
      Expected(40, 30, [&](int x, int y) { return inside(x, y) ? ink : kUntouched; });

  editor.Fill(kUntouched);
  EXPECT_TRUE(editor.FillIRect(&kInk, &r, &kCopy));
  EXPECT_EQ(editor.Pixels(), plain);
  editor.Fill(kUntouched);
  EXPECT_TRUE(editor.FillRoundRect(&kInk, &r, &kCopy, 0, false));
  EXPECT_EQ(editor.Pixels(), plain);

  editor.Fill(kUntouched);
  EXPECT_TRUE(editor.FillRoundRect(&kInk, &r, &kCopy, 4, false));
  const auto rounded = editor.Pixels();
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (!inside(x, y)) {
        EXPECT_EQ(rounded[y * 40 + x], kUntouched) << x << "," << y;
      }
    }
  }
  for (const auto& [x, y] : {std::pair{4, 3}, {19, 3}, {4, 24}, {19, 24}})
    EXPECT_EQ(editor.At(x, y), kUntouched) << "corner " << x << "," << y;
  // The middle band, and the side bands where no corner circle reaches.
  for (const auto& [x, y] : {std::pair{8, 3}, {15, 24}, {12, 14}, {4, 13}, {19, 13}})
    EXPECT_EQ(editor.At(x, y), ink) << "edge " << x << "," << y;

  editor.Fill(kUntouched);
  IRECT everything(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_TRUE(editor.FillIRect(&kInk, &everything, &kCopy));
  EXPECT_EQ(editor.Pixels(), Expected(40, 30, [&](int, int) { return ink; }));
}

// The masked rotation goes through the scratch bitmap but lands only in
// its own rectangle within the redraw area.
TEST(EditorDrawingTest, MaskedRotationLandsOnlyInItsRectangleInsideTheRedrawArea) {
  TestEditor editor(40, 30);
  LICE_MemBitmap basePixels(9, 7), maskPixels(9, 7), topPixels(9, 7);
  LICE_Clear(&basePixels, LICE_RGBA(0, 0, 255, 255));
  LICE_Clear(&maskPixels, LICE_RGBA(0, 0, 0, 255));
  LICE_Clear(&topPixels, LICE_RGBA(255, 0, 0, 0));
  IBitmap base(&basePixels, 9, 7), mask(&maskPixels, 9, 7), top(&topPixels, 9, 7);
  const IRECT area(14, 0, 40, 30);
  editor.Fill(kUntouched);
  editor.DrawDuring(area, [&](IGraphics* g) {
    EXPECT_TRUE(g->DrawRotatedMask(&base, &mask, &top, 10, 5, 0.0, nullptr));
  });
  const auto drawn = editor.Pixels();
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool allowed = x >= 14 && x < 19 && y >= 5 && y < 12;
      if (!allowed) {
        EXPECT_EQ(drawn[y * 40 + x], kUntouched) << x << "," << y;
      }
    }
  }
  // The base's colour where the mask is whole and the top transparent.
  EXPECT_EQ(editor.At(15, 8), LICE_RGBA(0, 0, 255, 255));
}

// Characters are frames c - 31 of the font strip; right alignment ends
// the text at R; degenerate sizes and rectangles draw nothing.
TEST(EditorDrawingTest, BitmapedTextPlacesFramesByAlignmentAndRefusesDegenerateInput) {
  TestEditor editor(48, 24);
  constexpr int kW = 3, kH = 4, kFrames = 96;
  LICE_MemBitmap fontPixels(kW, kH * kFrames);
  PaintPositions(&fontPixels);
  IBitmap font(&fontPixels, kW, kH * kFrames, kFrames);
  // What the editor shows after drawing character c with its top left at
  // (x, y): row r of frame c - 31, the first frame for codes below 32.
  auto glyphs = [&](std::vector<std::tuple<char, int, int>> placed) {
    return Expected(48, 24, [&](int px, int py) {
      for (const auto& [c, x, y] : placed) {
        if (px < x || px >= x + kW || py < y || py >= y + kH) continue;
        const int frame = c < 32 ? 1 : c - 31;
        return PositionCode(px - x, (frame - 1) * kH + py - y);
      }
      return kUntouched;
    });
  };
  IText right(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignFar);
  IText centred(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignCenter);
  IText left(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IRECT r(10, 5, 40, 15);

  editor.Fill(kUntouched);
  EXPECT_TRUE(DrawBitmapedText(&editor, &font, &r, &right, nullptr, "AB", false, false, kW, kH));
  EXPECT_EQ(editor.Pixels(), glyphs({{'A', 34, 5}, {'B', 37, 5}}));

  // Centred both ways, one pixel of spacing, a control code as a space.
  editor.Fill(kUntouched);
  EXPECT_TRUE(
      DrawBitmapedText(&editor, &font, &r, &centred, nullptr, "x\x01", true, false, kW, kH, 1));
  EXPECT_EQ(editor.Pixels(), glyphs({{'x', 22, 8}, {'\x01', 26, 8}}));

  // Wrapping: 5 characters of 3 in 7 pixels are 2 a line on 15 / 7 + 1 = 3
  // lines; without wrapping the text is cut after 2.
  IRECT narrow(1, 2, 8, 20);
  editor.Fill(kUntouched);
  EXPECT_TRUE(
      DrawBitmapedText(&editor, &font, &narrow, &left, nullptr, "abcde", false, true, kW, kH));
  EXPECT_EQ(editor.Pixels(),
            glyphs({{'a', 1, 2}, {'b', 4, 2}, {'c', 1, 6}, {'d', 4, 6}, {'e', 1, 10}}));
  editor.Fill(kUntouched);
  EXPECT_TRUE(
      DrawBitmapedText(&editor, &font, &narrow, &left, nullptr, "abcde", false, false, kW, kH));
  EXPECT_EQ(editor.Pixels(), glyphs({{'a', 1, 2}, {'b', 4, 2}}));

  editor.Fill(kUntouched);
  const auto blank = editor.Pixels();
  IRECT empty, inverted(30, 5, 10, 15), thin(10, 5, 10, 15);
  IBitmap noPixels(nullptr, kW, kH * kFrames, kFrames);
  EXPECT_FALSE(DrawBitmapedText(&editor, &font, &r, &left, nullptr, "AB", false, false, 0, kH));
  EXPECT_FALSE(DrawBitmapedText(&editor, &font, &r, &left, nullptr, "AB", false, false, -3, kH));
  EXPECT_FALSE(DrawBitmapedText(&editor, &font, &r, &left, nullptr, "AB", true, true, kW, 0));
  EXPECT_FALSE(DrawBitmapedText(&editor, &font, &empty, &left, nullptr, "AB", false, true, kW, kH));
  EXPECT_FALSE(
      DrawBitmapedText(&editor, &font, &inverted, &left, nullptr, "AB", false, true, kW, kH));
  EXPECT_FALSE(DrawBitmapedText(&editor, &font, &thin, &left, nullptr, "AB", false, true, kW, kH));
  EXPECT_FALSE(DrawBitmapedText(&editor, nullptr, &r, &left, nullptr, "AB", false, false, kW, kH));
  EXPECT_FALSE(
      DrawBitmapedText(&editor, &noPixels, &r, &left, nullptr, "AB", false, false, kW, kH));
  EXPECT_TRUE(DrawBitmapedText(&editor, &font, &r, &left, nullptr, "", false, false, kW, kH));
  // Narrower than one character: nothing fits, with or without wrapping.
  IRECT sliver(10, 5, 12, 15);
  EXPECT_TRUE(DrawBitmapedText(&editor, &font, &sliver, &left, nullptr, "AB", false, true, kW, kH));
  EXPECT_EQ(editor.Pixels(), blank);
}

// Before PrepDraw there is nothing to draw into: every operation says so
// rather than reporting a success, and the same calls succeed after it.
TEST(EditorDrawingTest, EveryOperationRefusesBeforeThereIsASurface) {
  TestEditor editor(32, 24, false);
  LICE_MemBitmap pixels(4, 4);
  IBitmap bitmap(&pixels, 4, 4);
  IRECT r(2, 2, 10, 10);
  int xs[3] = {1, 8, 1}, ys[3] = {1, 1, 8};
  IText text(12);
  auto everything = [&](IGraphics& g) {
    std::vector<bool> results = {
        g.DrawBitmap(&bitmap, &r, 0, 0, nullptr),
        g.DrawBitmap(&bitmap, &r, 1, nullptr),
        g.DrawRotatedBitmap(&bitmap, 8, 8, 0.5, 0, nullptr),
        g.DrawRotatedMask(&bitmap, &bitmap, &bitmap, 2, 2, 30.0, nullptr),
        g.DrawPoint(&kInk, 3.0f, 3.0f),
        g.ForcePixel(&kInk, 3, 3),
        g.DrawLine(&kInk, 0.0f, 0.0f, 9.0f, 5.0f),
        g.DrawRadialLine(&kInk, 8.0f, 8.0f, 1.0f, 2.0f, 6.0f),
        g.DrawArc(&kInk, 8.0f, 8.0f, 5.0f, 0.0f, 2.0f),
        g.DrawCircle(&kInk, 8.0f, 8.0f, 5.0f),
        g.RoundRect(&kInk, &r, nullptr, 2, false),
        g.FillRoundRect(&kInk, &r, nullptr, 2, false),
        g.FillIRect(&kInk, &r),
        g.FillCircle(&kInk, 8, 8, 3.0f),
        g.FillTriangle(&kInk, 1, 1, 8, 1, 1, 8),
        g.FillIConvexPolygon(&kInk, xs, ys, 3),
        g.DrawVerticalLine(&kInk, 3, 1, 9),
        g.DrawHorizontalLine(&kInk, 3, 1, 9),
        g.DrawVerticalLine(&kInk, &r, 0.5f),
        g.DrawHorizontalLine(&kInk, &r, 0.5f),
        g.DrawRect(&kInk, &r),
        g.DrawIText(&text, "Hi", &r),
        DrawBitmapedText(&g, &bitmap, &r, &text, nullptr, "A", false, false, 1, 1),
    };
    return results;
  };
  EXPECT_EQ(editor.GetBits(), nullptr);
  EXPECT_EQ(everything(editor), std::vector<bool>(23, false));
  EXPECT_EQ(editor.GetPoint(0, 0), IColor(0, 0, 0, 0));
  editor.PrepDraw();
  EXPECT_NE(editor.GetBits(), nullptr);
  EXPECT_EQ(everything(editor), std::vector<bool>(23, true));
}
