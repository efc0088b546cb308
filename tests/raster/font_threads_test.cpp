#include <gtest/gtest.h>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_CachedFont.h"
#include "tests/framework/base/same_on_two_threads.h"
#include "tests/raster/test_bitmap.h"

// Plug-in instances, and with them fonts, are made on whichever thread the
// host likes; the shared bitmaps come with the first font and go with the
// last, which on two threads happens over and over.
TEST(FontThreadsTest, FontsMadeAndDestroyedOnTwoThreadsDrawAsAlone) {
  EXPECT_TRUE(SameOnTwoThreadsAsAlone(2, 40, [](int thread, int variant) {
    LICE_CachedFont font;
    font.SetFromHFont(
        CreateFont(-11 - 3 * variant, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"),
        LICE_FONT_FLAG_OWNS_HFONT | (thread ? 0 : LICE_FONT_FLAG_FORCE_NATIVE));
    font.SetTextColor(LICE_RGBA(250, 240, 10, 255));
    TestBitmap bm(120, 40);
    RECT r = {0, 0, 120, 40};
    font.DrawText(&bm, "Depth 70 %", -1, &r, DT_CENTER | DT_VCENTER);
    return bm.pixels();
  }));
}
