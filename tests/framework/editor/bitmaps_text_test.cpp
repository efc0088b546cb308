// Loading, retaining, scaling and cropping the editor's bitmaps, and
// measuring and drawing text with cached fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>

#include "counted_deletes.h"
#include "editor_harness.h"
#include "framework/editor/LiceConversions.h"
#include "raster/LICE_IFont.h"

// The cache is process-wide and keyed by id alone: one decode per id for
// every editor, frame layout from each call. A missing image leaves the
// editor incomplete, not the host crashed, and draws nothing.
TEST(EditorBitmapsTest, LoadDecodesEachIdOnceAndAMissingImageLeavesTheEditorIncomplete) {
  TestEditor editor(16, 16);
  editor.mImages[7101] = {6, 8};
  const IBitmap knob = editor.LoadIBitmap(7101, "knob.png", 4, false);
  const IBitmap again = editor.LoadIBitmap(7101, "other.png", 2, true);
  EXPECT_EQ(editor.mLoads, 1);
  ASSERT_NE(knob.mData, nullptr);
  EXPECT_EQ(again.mData, knob.mData);
  EXPECT_EQ(LICE_GetPixel(knob.mData, 5, 7), PositionCode(5, 7));
  EXPECT_EQ((std::tuple{knob.W, knob.H, knob.N, knob.mFramesAreHorizontal}),
            (std::tuple{6, 8, 4, false}));
  EXPECT_EQ((std::tuple{again.W, again.H, again.N, again.mFramesAreHorizontal}),
            (std::tuple{6, 8, 2, true}));
  TestEditor other(16, 16);
  EXPECT_EQ(other.LoadIBitmap(7101, "knob.png").mData, knob.mData);
  EXPECT_EQ(other.mLoads, 0);
  EXPECT_TRUE(editor.IsComplete());

  IBitmap missing = editor.LoadIBitmap(7102, "missing.png", 3, false);
  EXPECT_EQ(editor.mLoads, 2);
  EXPECT_FALSE(editor.IsComplete());
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ((std::tuple{missing.W, missing.H, missing.N}), (std::tuple{0, 0, 3}));
  editor.Fill(kUntouched);
  IRECT dest(0, 0, 16, 16);
  EXPECT_FALSE(editor.DrawBitmap(&missing, &dest, 2));
  EXPECT_FALSE(editor.DrawRotatedBitmap(&missing, 8, 8, 1.0));
  EXPECT_EQ(editor.Pixels(), Expected(16, 16, [](int, int) { return kUntouched; }));
  EXPECT_TRUE(other.IsComplete());
}

// Run-time pixels are freed exactly once and only by a release; pixels
// loaded under an id are never freed. Scaled and cropped copies are new
// run-time pixels; sizes past the caps give no pixels at all.
TEST(EditorBitmapsTest, RetainReleaseScaleAndCropOwnTheirPixelsExactlyOnce) {
  TestEditor editor(16, 16);
  std::atomic<int> deletions{0};
  IBitmap retained(new CountedBitmap(&deletions), 2, 2);
  editor.RetainBitmap(&retained);
  editor.RetainBitmap(&retained);
  const IBitmap copy = retained;
  editor.ReleaseBitmap(&retained);
  EXPECT_EQ(deletions.load(), 1);
  EXPECT_EQ((std::tuple{retained.mData, retained.W, retained.H}),
            (std::tuple{static_cast<LICE_IBitmap*>(nullptr), 0, 0}));
  IBitmap stale = copy;
  editor.ReleaseBitmap(&stale);
  editor.ReleaseBitmap(&retained);
  EXPECT_EQ(deletions.load(), 1);

  editor.mImages[7201] = {5, 7};
  IBitmap loaded = editor.LoadIBitmap(7201, "strip.png", 7);
  LICE_IBitmap* const loadedPixels = loaded.mData;
  editor.ReleaseBitmap(&loaded);
  EXPECT_EQ(loaded.mData, loadedPixels);
  EXPECT_EQ(editor.LoadIBitmap(7201, "strip.png").mData, loadedPixels);

  // Partly outside the source: the outside stays transparent.
  IRECT part(-2, 3, 6, 8);
  IBitmap cropped = editor.CropBitmap(&loaded, &part);
  ASSERT_NE(cropped.mData, nullptr);
  EXPECT_EQ((std::tuple{cropped.W, cropped.H, cropped.N, cropped.mFramesAreHorizontal}),
            (std::tuple{8, 5, 7, false}));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) {
      const int sx = x - 2, sy = y + 3;
      const LICE_pixel want = sx >= 0 && sx < 5 && sy < 7 ? PositionCode(sx, sy) : 0;
      EXPECT_EQ(LICE_GetPixel(cropped.mData, x, y), want) << x << "," << y;
    }
  }

  LICE_MemBitmap flat(4, 4);
  LICE_Clear(&flat, LICE_RGBA(30, 60, 90, 255));
  IBitmap flatBitmap(&flat, 4, 4, 2, true);
  IBitmap scaled = editor.ScaleBitmap(&flatBitmap, 8, 3);
  ASSERT_NE(scaled.mData, nullptr);
  EXPECT_EQ((std::tuple{scaled.W, scaled.H, scaled.N, scaled.mFramesAreHorizontal}),
            (std::tuple{8, 3, 2, false}));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(LICE_GetPixel(scaled.mData, x, y), LICE_RGBA(30, 60, 90, 255)) << x << "," << y;
  }
  // Both are in the cache as run-time pixels, so they can be released.
  editor.ReleaseBitmap(&cropped);
  editor.ReleaseBitmap(&scaled);
  EXPECT_EQ(cropped.mData, nullptr);
  EXPECT_EQ(scaled.mData, nullptr);

  // Each side 1..32768 and at most 2^25 pixels.
  for (const auto& [w, h] : {std::pair{0, 4},
                             {4, 0},
                             {-1, 4},
                             {32769, 1},
                             {1, 32769},
                             {8193, 4097},
                             {INT_MAX, INT_MAX}}) {
    EXPECT_EQ(editor.ScaleBitmap(&flatBitmap, w, h).mData, nullptr) << w << "x" << h;
    IRECT area(0, 0, w, h);
    EXPECT_EQ(editor.CropBitmap(&flatBitmap, &area).mData, nullptr) << w << "x" << h;
  }
  IRECT inverted(3, 0, 1, 2), overflowing(INT_MIN, 0, INT_MAX, 1);
  EXPECT_EQ(editor.CropBitmap(&flatBitmap, &inverted).mData, nullptr);
  EXPECT_EQ(editor.CropBitmap(&flatBitmap, &overflowing).mData, nullptr);
  IBitmap nothing;
  EXPECT_EQ(editor.ScaleBitmap(&nothing, 4, 4).mData, nullptr);
  EXPECT_EQ(editor.CropBitmap(&nothing, &part).mData, nullptr);
}

// Measuring places the text's extent by its alignment (centred:
// int(centre) - w / 2; 20 wide in (10, 0, 50, 20) gives 20..40) and its
// line height below T; drawing puts ink
// inside those lines and near that extent. One font per key, made once.
TEST(EditorTextTest, MeasuredExtentFollowsAlignmentAndDrawnTextStaysWithinIt) {
  TestEditor editor(120, 60);
  IText near(20, &COLOR_BLACK, "Monaco", IText::kStyleNormal, IText::kAlignNear);
  LICE_IFont* font = editor.CacheFont(&near);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(near.mCached, font);
  IText sameKey(20, &COLOR_RED, "Monaco", IText::kStyleNormal, IText::kAlignFar);
  EXPECT_EQ(editor.CacheFont(&sameKey), font);
  // The size asked for, corrected once by the ratio the renderer showed;
  // its rounding may leave a pixel either way.
  const int lh = font->GetLineHeight();
  EXPECT_LE(std::abs(lh - 20), 1) << lh;

  char str[] = "Morvex";
  IRECT measured(10, 0, 10, 0);
  ASSERT_TRUE(editor.MeasureIText(&near, str, &measured));
  const int w = measured.W();
  ASSERT_GT(w, 0);
  EXPECT_EQ(measured, IRECT(10, 0, 10 + w, lh));

  IText centred(20, &COLOR_BLACK, "Monaco", IText::kStyleNormal, IText::kAlignCenter);
  IRECT box(10, 0, 50, 20);
  ASSERT_TRUE(editor.MeasureIText(&centred, str, &box));
  EXPECT_EQ(box, IRECT(30 - w / 2, 0, 30 - w / 2 + w, lh));
  IText far(20, &COLOR_BLACK, "Monaco", IText::kStyleNormal, IText::kAlignFar);
  IRECT right(10, 5, 50, 9);
  ASSERT_TRUE(editor.MeasureIText(&far, str, &right));
  EXPECT_EQ(right, IRECT(50 - w, 5, 50, 5 + lh));

  IRECT unchanged(1, 2, 3, 4);
  char empty[] = "";
  EXPECT_TRUE(editor.MeasureIText(&centred, empty, &unchanged));
  EXPECT_TRUE(editor.DrawIText(&centred, nullptr, &unchanged));
  EXPECT_EQ(unchanged, IRECT(1, 2, 3, 4));

  const LICE_pixel paper = LICE_RGBA(255, 255, 255, 255);
  editor.Fill(paper);
  IRECT where(20, 30, 100, 50);
  IRECT extent = where;
  ASSERT_TRUE(editor.MeasureIText(&centred, str, &extent));
  ASSERT_TRUE(editor.DrawIText(&centred, str, &where));
  int inked = 0;
  const int slack = 20 / 2;  // glyphs may overhang their advances
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (editor.At(x, y) == paper) continue;
      ++inked;
      EXPECT_TRUE(y >= extent.T && y < extent.B && x >= extent.L - slack && x < extent.R + slack)
          << x << "," << y;
    }
  }
  EXPECT_GT(inked, 20);

  // A size of 0 asks for the smallest font rather than dividing by it.
  IText tiny(0);
  EXPECT_NE(editor.CacheFont(&tiny), nullptr);
}
