#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "raster/LICE_IBitmap.h"

// A bitmap for tests: its pixels sit inside a larger block whose other words
// (guard rows above and below, padding at the end of every row) hold a known
// pattern, so that any write outside the pixels shows up in guardsIntact()
// in every build, not only under the address sanitizer. It may store its rows
// bottom-up to exercise isFlipped().
class TestBitmap : public LICE_IBitmap {
 public:
  static constexpr LICE_pixel kGuard = 0xA5C3E1F7u;

  TestBitmap(int width, int height, bool flipped = false, int padding = 3)
      : mWidth(width),
        mHeight(height),
        mSpan(width + padding),
        mFlipped(flipped),
        mStore(static_cast<size_t>(mSpan) * (height + 2 * kGuardRows), kGuard) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        at(x, y) = 0;
    }
  }

  LICE_pixel* getBits() const override {
    return const_cast<LICE_pixel*>(mStore.data()) + static_cast<size_t>(kGuardRows) * mSpan;
  }
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override { return mSpan; }
  bool isFlipped() const override { return mFlipped; }
  bool resize(int, int) override { return false; }

  // Pixel (x, y) as the raster operations see it: row 0 at the top.
  LICE_pixel& at(int x, int y) {
    const int storageRow = mFlipped ? mHeight - 1 - y : y;
    return getBits()[static_cast<size_t>(storageRow) * mSpan + x];
  }
  LICE_pixel at(int x, int y) const { return const_cast<TestBitmap*>(this)->at(x, y); }

  bool guardsIntact() const {
    for (size_t i = 0; i < mStore.size(); ++i) {
      const long row = static_cast<long>(i / mSpan) - kGuardRows;
      const long col = static_cast<long>(i % mSpan);
      const bool inside = row >= 0 && row < mHeight && col < mWidth;
      if (!inside && mStore[i] != kGuard) return false;
    }
    return true;
  }

  // Row-major copy of the pixels, top row first.
  std::vector<LICE_pixel> pixels() const {
    std::vector<LICE_pixel> out;
    out.reserve(static_cast<size_t>(mWidth) * mHeight);
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x)
        out.push_back(at(x, y));
    }
    return out;
  }

  void fillRandom(std::mt19937& rng) {
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x)
        at(x, y) = static_cast<LICE_pixel>(rng());
    }
  }

  void fill(LICE_pixel value) {
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x)
        at(x, y) = value;
    }
  }

  void copyFrom(const TestBitmap& other) {
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x)
        at(x, y) = other.at(x, y);
    }
  }

  int countNot(LICE_pixel value) const {
    int n = 0;
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x)
        n += at(x, y) != value;
    }
    return n;
  }

 private:
  static constexpr int kGuardRows = 2;
  int mWidth, mHeight, mSpan;
  bool mFlipped;
  std::vector<LICE_pixel> mStore;
};

// The channels of a pixel in memory order (alpha, red, green, blue).
inline void channelsOf(LICE_pixel p, int out[4]) {
  for (int i = 0; i < 4; ++i)
    out[i] = reinterpret_cast<const unsigned char*>(&p)[i];
}

// Runs draw(destination, source) on upright bitmaps and on flipped copies of
// the same random images; a raster operation must give the same picture.
// Returns false (with the iteration reported by the caller) when they differ
// or the flipped destination was written outside its pixels.
template <class Draw>
bool sameOnFlippedBitmaps(std::mt19937& rng, int srcW, int srcH, int dstW, int dstH, Draw draw) {
  TestBitmap src(srcW, srcH), srcFlipped(srcW, srcH, true);
  TestBitmap dst(dstW, dstH), dstFlipped(dstW, dstH, true);
  src.fillRandom(rng);
  srcFlipped.copyFrom(src);
  dst.fillRandom(rng);
  dstFlipped.copyFrom(dst);
  draw(&dst, &src);
  draw(&dstFlipped, &srcFlipped);
  return dst.pixels() == dstFlipped.pixels() && dstFlipped.guardsIntact();
}
