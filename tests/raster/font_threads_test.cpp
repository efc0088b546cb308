#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_CachedFont.h"
#include "tests/raster/test_bitmap.h"

namespace {

// A font made, drawn with on both paths and destroyed, as a plug-in
// instance's editor would on whichever thread the host creates it.
std::vector<LICE_pixel> drawWithNewFont(int height, int flags) {
  LICE_CachedFont font;
  font.SetFromHFont(CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"),
                    flags | LICE_FONT_FLAG_OWNS_HFONT);
  font.SetTextColor(LICE_RGBA(250, 240, 10, 255));
  TestBitmap bm(120, 40);
  RECT r = {0, 0, 120, 40};
  font.DrawText(&bm, "Depth 70 %", -1, &r, DT_CENTER | DT_VCENTER);
  return bm.pixels();
}

}  // namespace

// The shared bitmaps are made with the first font and freed with the last,
// which on two threads happens over and over.
TEST(FontThreadsTest, FontsMadeAndDestroyedOnTwoThreadsDrawAsAlone) {
  const int flags[2] = {LICE_FONT_FLAG_FORCE_NATIVE, 0};
  std::vector<LICE_pixel> alone[2][2];
  for (int t = 0; t < 2; ++t) {
    for (int s = 0; s < 2; ++s)
      alone[t][s] = drawWithNewFont(-11 - 3 * s, flags[t]);
  }
  bool same[2] = {true, true};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 40; ++i)
        same[t] &= drawWithNewFont(-11 - 3 * (i % 2), flags[t]) == alone[t][i % 2];
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}
