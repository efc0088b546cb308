#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "raster/LICE_PNGBitmap.h"
#include "raster/lice_png.h"
#include "tests/raster/png_file.h"
#include "tests/support/TempDir.h"

// Editors drawing on two threads may ask a shared bitmap for its pixels at
// the same moment: it is decoded once, and both read the same, complete
// pixels. (Under ThreadSanitizer a second decode racing the first shows as
// a data race.)
TEST(PngBitmapThreadsTest, TwoThreadsFirstAskingForPixelsShareOneDecode) {
  std::mt19937 rng(29);
  PngImage image{96, 64, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}, {}};
  for (int y = 0; y < image.height; ++y) {
    image.rows.emplace_back();
    for (int i = 0; i < image.width * 4; ++i)
      image.rows.back().push_back(static_cast<png_byte>(rng()));
  }
  const test_support::TempDir scratch;
  const std::string file = scratch.write("shared.png", EncodePng(image));
  std::unique_ptr<LICE_IBitmap> eager(LICE_LoadPNG(file.c_str()));
  ASSERT_NE(eager, nullptr);
  const std::vector<LICE_pixel> expected(
      eager->getBits(), eager->getBits() + eager->getRowSpan() * eager->getHeight());

  for (int round = 0; round < 40; ++round) {
    std::unique_ptr<LICE_PNGBitmap> shared(LICE_PNGBitmap::Open(file.c_str()));
    ASSERT_NE(shared, nullptr);
    std::atomic<int> ready{0};
    LICE_pixel* seen[2] = {};
    bool whole[2] = {};
    auto draw = [&](int thread) {
      ++ready;
      while (ready.load() < 2) {
      }
      seen[thread] = shared->getBits();
      whole[thread] =
          seen[thread] && shared->getWidth() == image.width &&
          std::vector<LICE_pixel>(seen[thread], seen[thread] + expected.size()) == expected;
    };
    std::thread other(draw, 1);
    draw(0);
    other.join();
    EXPECT_EQ(seen[0], seen[1]) << round;
    EXPECT_TRUE(whole[0] && whole[1]) << round;
  }
}
