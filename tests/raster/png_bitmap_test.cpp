#include "raster/LICE_PNGBitmap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_fill.h"
#include "raster/lice_png.h"
#include "tests/raster/png_file.h"
#include "tests/support/TempDir.h"

namespace {

using test_support::TempDir;

std::vector<LICE_pixel> pixelsOf(const LICE_IBitmap& bm) {
  std::vector<LICE_pixel> out;
  for (int y = 0; y < bm.getHeight(); ++y) {
    for (int x = 0; x < bm.getWidth(); ++x)
      out.push_back(bm.getBits()[y * bm.getRowSpan() + x]);
  }
  return out;
}

PngImage randomRgba(std::mt19937& rng, int w, int h, bool interlaced) {
  PngImage image{w, h, PNG_COLOR_TYPE_RGBA, 8, interlaced, {}, {}, {}};
  for (int y = 0; y < h; ++y) {
    image.rows.emplace_back();
    for (int i = 0; i < w * 4; ++i)
      image.rows.back().push_back(static_cast<png_byte>(rng()));
  }
  return image;
}

std::vector<unsigned char> withDamaged(std::vector<unsigned char> file, const std::string& type) {
  ForEachChunk(file, [&](size_t at, const std::string& t, uint32_t) {
    if (t == type) file[at + 8] ^= 0x55;
  });
  return file;
}

// The file cut in the middle of its first image data chunk.
std::vector<unsigned char> cutInData(const std::vector<unsigned char>& file) {
  size_t end = file.size();
  ForEachChunk(file, [&](size_t at, const std::string& t, uint32_t length) {
    if (t == "IDAT" && end == file.size()) end = at + 8 + length / 2;
  });
  return std::vector<unsigned char>(file.begin(), file.begin() + static_cast<long>(end));
}

}  // namespace

// The size is there before any pixel is decoded; the pixels, once asked for
// through any of the operations that reach them, are LICE_LoadPNG's.
TEST(PngBitmapTest, SizeComesFromTheHeaderAndPixelsMatchAnEagerDecode) {
  std::mt19937 rng(17);
  PngImage palette{5, 3, PNG_COLOR_TYPE_PALETTE, 4, true, {}, {}, {}};
  for (int i = 0; i < 16; ++i)
    palette.palette.push_back({static_cast<png_byte>(i * 16), 3, static_cast<png_byte>(i)});
  palette.paletteAlpha = {0, 90};
  for (int y = 0; y < 3; ++y)
    palette.rows.push_back({0x01, static_cast<png_byte>(y * 0x23), 0x40});
  const struct {
    const char* name;
    PngImage image;
  } cases[] = {
      {"rgba", randomRgba(rng, 13, 7, false)},
      {"interlaced rgba", randomRgba(rng, 6, 11, true)},
      {"4-bit palette with transparency", palette},
  };
  TempDir scratch;
  for (const auto& c : cases) {
    const std::string file = scratch.write("image.png", EncodePng(c.image));
    std::unique_ptr<LICE_IBitmap> eager(LICE_LoadPNG(file.c_str()));
    ASSERT_NE(eager, nullptr) << c.name;
    const std::vector<LICE_pixel> expected = pixelsOf(*eager);

    int w = 0, h = 0;
    ASSERT_TRUE(LICE_ReadPNGSize(file.c_str(), &w, &h)) << c.name;
    EXPECT_EQ((std::pair{w, h}), (std::pair{c.image.width, c.image.height})) << c.name;

    std::unique_ptr<LICE_PNGBitmap> byBits(LICE_PNGBitmap::Open(file.c_str()));
    std::unique_ptr<LICE_PNGBitmap> bySpan(LICE_PNGBitmap::Open(file.c_str()));
    std::unique_ptr<LICE_PNGBitmap> byResize(LICE_PNGBitmap::Open(file.c_str()));
    ASSERT_TRUE(byBits && bySpan && byResize) << c.name;
    EXPECT_EQ(byBits->getWidth(), c.image.width) << c.name;
    EXPECT_EQ(byBits->getHeight(), c.image.height) << c.name;
    EXPECT_FALSE(byBits->isDecoded()) << c.name;

    ASSERT_NE(byBits->getBits(), nullptr) << c.name;
    EXPECT_TRUE(byBits->isDecoded()) << c.name;
    EXPECT_EQ(pixelsOf(*byBits), expected) << c.name;
    EXPECT_EQ(bySpan->getRowSpan(), eager->getRowSpan()) << c.name;
    EXPECT_EQ(pixelsOf(*bySpan), expected) << c.name;
    // Resizing to the size it already has changes nothing, so it must find
    // the decoded pixels there, not empty storage.
    EXPECT_FALSE(byResize->resize(c.image.width, c.image.height)) << c.name;
    EXPECT_EQ(pixelsOf(*byResize), expected) << c.name;
  }
}

// What fails before the image data fails at opening, as LICE_LoadPNG fails;
// what fails later leaves an empty bitmap that every drawing skips.
TEST(PngBitmapTest, BrokenHeadersAreRefusedAndBrokenDataDrawsNothing) {
  std::mt19937 rng(23);
  const PngImage image = randomRgba(rng, 8, 8, false);
  const std::vector<unsigned char> good = EncodePng(image);
  TempDir scratch;

  const struct {
    const char* name;
    std::vector<unsigned char> file;
  } refused[] = {
      {"empty", {}},
      {"bad signature", std::vector<unsigned char>(good.size(), 0x89)},
      {"bad header CRC", withDamaged(good, "IHDR")},
      {"100000 x 100000", WithSize(good, 100000, 100000)},
      {"header only", std::vector<unsigned char>(good.begin(), good.begin() + 20)},
  };
  for (const auto& c : refused) {
    // As a string, whose data is never null, even when empty.
    const std::string file =
        scratch.write("refused.png", std::string(c.file.begin(), c.file.end()));
    EXPECT_EQ(LICE_PNGBitmap::Open(file.c_str()), nullptr) << c.name;
    int w = -1;
    EXPECT_FALSE(LICE_ReadPNGSize(file.c_str(), &w, nullptr)) << c.name;
    EXPECT_EQ(w, -1) << c.name;
  }
  EXPECT_EQ(LICE_PNGBitmap::Open((scratch / "missing.png").c_str()), nullptr);
  EXPECT_EQ(LICE_PNGBitmap::Open(scratch.path().c_str()), nullptr);
  EXPECT_EQ(LICE_PNGBitmap::Open(nullptr), nullptr);

  const std::vector<unsigned char> larger = EncodePng(randomRgba(rng, 9, 8, false));
  const struct {
    const char* name;
    std::vector<unsigned char> file;
    // Applied between opening and the first use: the file changes under it.
    std::vector<unsigned char> later;
    bool removedLater;
  } lateFailures[] = {
      {"bad data CRC", withDamaged(good, "IDAT"), {}, false},
      {"cut in the data", cutInData(good), {}, false},
      {"removed after opening", good, {}, true},
      {"replaced by another size", good, larger, false},
  };
  for (const auto& c : lateFailures) {
    const std::string file = scratch.write("late.png", c.file);
    std::unique_ptr<LICE_PNGBitmap> bm(LICE_PNGBitmap::Open(file.c_str()));
    ASSERT_NE(bm, nullptr) << c.name;
    EXPECT_EQ(bm->getWidth(), 8) << c.name;
    if (c.removedLater) std::remove(file.c_str());
    if (!c.later.empty()) scratch.write("late.png", c.later);

    LICE_MemBitmap dest(8, 8);
    LICE_Clear(&dest, 0x12345678);
    LICE_Blit(&dest, bm.get(), 0, 0, 0, 0, 8, 8, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(pixelsOf(dest), std::vector<LICE_pixel>(64, 0x12345678)) << c.name;
    EXPECT_TRUE(bm->isDecoded()) << c.name;
    EXPECT_EQ(bm->getBits(), nullptr) << c.name;
    EXPECT_EQ((std::pair{bm->getWidth(), bm->getHeight()}), (std::pair{0, 0})) << c.name;
  }
}
