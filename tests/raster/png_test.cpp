#include "raster/lice_png.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_fill.h"
#include "tests/raster/png_file.h"
#include "tests/support/TempDir.h"

namespace {

using test_support::TempDir;

// A bitmap storing its rows bottom-up.
class FlippedBitmap : public LICE_MemBitmap {
 public:
  bool isFlipped() const override { return true; }
  LICE_pixel top(int x, int y) const { return getBits()[(getHeight() - 1 - y) * getRowSpan() + x]; }
};

std::vector<LICE_pixel> pixelsOf(const LICE_IBitmap* bm) {
  std::vector<LICE_pixel> out;
  for (int y = 0; y < bm->getHeight(); ++y) {
    for (int x = 0; x < bm->getWidth(); ++x)
      out.push_back(bm->getBits()[y * bm->getRowSpan() + x]);
  }
  return out;
}

LICE_IBitmap* fromMemory(const std::vector<unsigned char>& file, LICE_IBitmap* bm = nullptr) {
  return LICE_LoadPNGFromMemory(file.data(), static_cast<int>(file.size()), bm);
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

// The pixels an RGBA image must load as.
std::vector<LICE_pixel> expectedRgba(const PngImage& image) {
  std::vector<LICE_pixel> out;
  for (const auto& row : image.rows) {
    for (size_t i = 0; i < row.size(); i += 4)
      out.push_back(LICE_RGBA(row[i], row[i + 1], row[i + 2], row[i + 3]));
  }
  return out;
}

struct DecodeCase {
  const char* name;
  PngImage image;
  std::vector<LICE_pixel> expected;
};

}  // namespace

TEST(PngTest, EveryColourTypeArrivesAsEightBitPixelsWithAlpha) {
  const DecodeCase cases[] = {
      {"rgba8",
       {2, 1, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}, {{10, 20, 30, 40, 250, 0, 5, 255}}},
       {LICE_RGBA(10, 20, 30, 40), LICE_RGBA(250, 0, 5, 255)}},
      {"rgb8 is opaque",
       {2, 1, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {{1, 2, 3, 4, 5, 6}}},
       {LICE_RGBA(1, 2, 3, 255), LICE_RGBA(4, 5, 6, 255)}},
      {"palette with transparency",
       {3,
        1,
        PNG_COLOR_TYPE_PALETTE,
        8,
        false,
        {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
        {0, 128},
        {{0, 1, 2}}},
       {LICE_RGBA(255, 0, 0, 0), LICE_RGBA(0, 255, 0, 128), LICE_RGBA(0, 0, 255, 255)}},
      {"2-bit palette",
       {4,
        1,
        PNG_COLOR_TYPE_PALETTE,
        2,
        false,
        {{9, 9, 9}, {8, 8, 8}, {7, 7, 7}, {6, 6, 6}},
        {},
        {{0xE4}}},
       {LICE_RGBA(6, 6, 6, 255), LICE_RGBA(7, 7, 7, 255), LICE_RGBA(8, 8, 8, 255),
        LICE_RGBA(9, 9, 9, 255)}},
      {"16-bit grey is opaque grey",
       {2, 1, PNG_COLOR_TYPE_GRAY, 16, false, {}, {}, {{0x12, 0x34, 0xFF, 0x00}}},
       {LICE_RGBA(0x12, 0x12, 0x12, 255), LICE_RGBA(0xFF, 0xFF, 0xFF, 255)}},
      {"1-bit grey",
       {4, 1, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, {{0xA0}}},
       {LICE_RGBA(255, 255, 255, 255), 0xFF, LICE_RGBA(255, 255, 255, 255), 0xFF}},
      {"grey with alpha",
       {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, {{77, 200}}},
       {LICE_RGBA(77, 77, 77, 200)}},
      {"16-bit rgba keeps the high bytes",
       {1, 1, PNG_COLOR_TYPE_RGBA, 16, false, {}, {}, {{1, 99, 2, 99, 3, 99, 4, 99}}},
       {LICE_RGBA(1, 2, 3, 4)}},
  };
  for (const DecodeCase& c : cases) {
    const std::vector<unsigned char> file = EncodePng(c.image);
    ASSERT_FALSE(file.empty()) << c.name;
    std::unique_ptr<LICE_IBitmap> bm(fromMemory(file));
    ASSERT_NE(bm, nullptr) << c.name;
    EXPECT_EQ(pixelsOf(bm.get()), c.expected) << c.name;
  }
}

TEST(PngTest, InterlacedFilesFilesAndFlippedBitmapsGiveTheSamePicture) {
  std::mt19937 rng(7);
  TempDir scratch;
  for (const auto& [w, h] : {std::pair{9, 9}, std::pair{1, 13}, std::pair{17, 3}}) {
    const PngImage plain = randomRgba(rng, w, h, false);
    PngImage interlaced = plain;
    interlaced.interlaced = true;
    const std::string file = scratch.write("i.png", EncodePng(interlaced));
    for (LICE_IBitmap* bm : {fromMemory(EncodePng(plain)), fromMemory(EncodePng(interlaced)),
                             LICE_LoadPNG(file.c_str())}) {
      ASSERT_NE(bm, nullptr) << w << "x" << h;
      EXPECT_EQ(pixelsOf(bm), expectedRgba(plain)) << w << "x" << h;
      delete bm;
    }
    FlippedBitmap flipped;
    ASSERT_EQ(LICE_LoadPNG(file.c_str(), &flipped), &flipped);
    std::vector<LICE_pixel> topDown;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        topDown.push_back(flipped.top(x, y));
    }
    EXPECT_EQ(topDown, expectedRgba(plain));
  }
}

TEST(PngTest, BrokenOrOversizedFilesGiveNullAndLeaveTheBitmapAlone) {
  std::mt19937 rng(3);
  const std::vector<unsigned char> good = EncodePng(randomRgba(rng, 4, 4, false));
  PngImage paletted{2, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {{1, 2, 3}}, {}, {{0, 0}}};
  auto damaged = [&](const char* type) {
    std::vector<unsigned char> file = good;
    ForEachChunk(file, [&](size_t at, const std::string& t, uint32_t) {
      if (t == type) file[at + 8] ^= 0x55;
    });
    return file;
  };
  // Header, then a chunk whose data is not there.
  auto claiming = [&](const char* type) {
    std::vector<unsigned char> file(good.begin(), good.begin() + 41);
    const unsigned char length[4] = {0x7F, 0xFF, 0xFF, 0xFF};
    std::copy(length, length + 4, file.begin() + 33);
    std::copy(type, type + 4, file.begin() + 37);
    return file;
  };
  const struct {
    const char* name;
    std::vector<unsigned char> file;
    bool headerPasses;  // so the given bitmap may have been resized
  } cases[] = {
      {"empty", {}, false},
      {"7 bytes", std::vector<unsigned char>(good.begin(), good.begin() + 7), false},
      {"bad signature", std::vector<unsigned char>(good.size(), 0x89), false},
      {"bad header CRC", damaged("IHDR"), false},
      {"bad data CRC", damaged("IDAT"), true},
      {"palette without entries", WithoutChunk(EncodePng(paletted), "PLTE"), false},
      {"100000 x 100000", WithSize(good, 100000, 100000), false},
      {"30000 x 30000", WithSize(good, 30000, 30000), false},
      {"5000 x 5000 from a few bytes", WithSize(good, 5000, 5000), false},
      {"zero width", WithSize(good, 0, 4), false},
      {"text chunk claiming 2 GiB", claiming("tEXt"), false},
      {"data chunk claiming 2 GiB", claiming("IDAT"), true},
  };
  for (const auto& c : cases) {
    LICE_MemBitmap bm(2, 2);
    LICE_Clear(&bm, 0x12345678);
    EXPECT_EQ(fromMemory(c.file, &bm), nullptr) << c.name;
    EXPECT_EQ(fromMemory(c.file), nullptr) << c.name;
    if (c.headerPasses) continue;
    ASSERT_EQ(bm.getWidth(), 2) << c.name;
    ASSERT_EQ(bm.getHeight(), 2) << c.name;
    EXPECT_EQ(pixelsOf(&bm), std::vector<LICE_pixel>(4, 0x12345678)) << c.name;
  }
  EXPECT_EQ(LICE_LoadPNG("/nonexistent/morvex.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNG("/tmp"), nullptr);
}

TEST(PngTest, PipeWithoutWriterGivesNullPromptly) {
  TempDir scratch;
  const std::string fifo = scratch / "image.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto loading = std::async(std::launch::async, [&] { return LICE_LoadPNG(fifo.c_str()); });
  const bool prompt = loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!prompt) close(open(fifo.c_str(), O_WRONLY));  // releases a loader stuck in open
  EXPECT_TRUE(prompt);
  EXPECT_EQ(loading.get(), nullptr);
}

// Under the sanitizers these catch reads past the input, writes past the
// bitmap and leaks on every failure path.
TEST(PngTest, TruncatedAndCorruptedFilesNeverCrash) {
  std::mt19937 rng(11);
  PngImage palette{7, 5, PNG_COLOR_TYPE_PALETTE, 4, true, {}, {}, {}};
  for (int i = 0; i < 16; ++i)
    palette.palette.push_back({static_cast<png_byte>(i * 16), 7, static_cast<png_byte>(255 - i)});
  palette.paletteAlpha = {0, 50, 100};
  for (int y = 0; y < 5; ++y)
    palette.rows.push_back({0x01, 0x23, 0x45, static_cast<png_byte>(y * 17)});
  for (const std::vector<unsigned char>& file :
       {EncodePng(palette), EncodePng(randomRgba(rng, 6, 5, true))}) {
    for (size_t length = 0; length < file.size(); ++length) {
      const std::vector<unsigned char> part(file.begin(), file.begin() + length);
      std::unique_ptr<LICE_IBitmap> bm(fromMemory(part));
      // Everything up to the image data may suffice; then the size is right.
      EXPECT_TRUE(!bm || bm->getWidth() == 7 || bm->getWidth() == 6) << length;
    }
    for (int run = 0; run < 1500; ++run) {
      std::vector<unsigned char> bytes = file;
      for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k)
        bytes[8 + rng() % (bytes.size() - 8)] = static_cast<unsigned char>(rng());
      FixCrcs(&bytes);
      LICE_MemBitmap given(3, 3);
      LICE_IBitmap* bm = fromMemory(bytes, &given);
      EXPECT_TRUE(!bm || bm == &given);
    }
  }
}

TEST(PngTest, LoaderRecordChecksTheExtensionAndHeadsTheList) {
  ASSERT_NE(LICE_ImageLoader_list, nullptr);
  EXPECT_EQ(LICE_ImageLoader_list->loadfunc, &LICE_PNGLoader::loadfunc);
  EXPECT_EQ(LICE_ImageLoader_list->get_extlist, &LICE_PNGLoader::get_extlist);
  const char kList[] = "PNG files (*.PNG)\0*.PNG\0";
  EXPECT_EQ(std::string(LICE_PNGLoader::get_extlist(), sizeof kList),
            std::string(kList, sizeof kList));

  std::mt19937 rng(5);
  const std::vector<unsigned char> png = EncodePng(randomRgba(rng, 2, 2, false));
  TempDir scratch;
  const struct {
    const char* name;
    bool check;
    bool loads;
  } cases[] = {
      {"knob.PNG", true, true},     {"knob.png", true, true},       {"knob.jpg", true, false},
      {"knob.jpg", false, true},    {"knob.png.bak", true, false},  {"dir.png/knob", true, false},
      {"dir.x\\knob", true, false}, {"dir.x/knob.Png", true, true},
  };
  for (const auto& c : cases) {
    const std::string path = scratch.write(c.name, png);
    std::unique_ptr<LICE_IBitmap> bm(LICE_PNGLoader::loadfunc(path.c_str(), c.check, nullptr));
    EXPECT_EQ(bm != nullptr, c.loads) << c.name << " check " << c.check;
  }
}
