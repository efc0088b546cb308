#include "raster/LICE_PNGBitmap.h"

#include <new>
#include <utility>

#include "raster/lice_png.h"

LICE_PNGBitmap* LICE_PNGBitmap::Open(const char* filename) {
  int width = 0, height = 0;
  if (!LICE_ReadPNGSize(filename, &width, &height)) return nullptr;
  return new (std::nothrow) LICE_PNGBitmap(filename, width, height);
}

LICE_PNGBitmap::LICE_PNGBitmap(std::string filename, int width, int height)
    : mFilename(std::move(filename)), mWidth(width), mHeight(height), mPixels(0, 0, 4) {}

int LICE_PNGBitmap::getWidth() const {
  return isDecoded() ? mPixels.getWidth() : mWidth;
}

int LICE_PNGBitmap::getHeight() const {
  return isDecoded() ? mPixels.getHeight() : mHeight;
}

LICE_MemBitmap& LICE_PNGBitmap::pixels() const {
  if (!isDecoded()) {
    std::call_once(mDecodeOnce, [this] {
      // A file of another size than the header promised would no longer
      // match the layout made from it.
      const bool loaded = LICE_LoadPNG(mFilename.c_str(), &mPixels) != nullptr;
      if (!loaded || mPixels.getWidth() != mWidth || mPixels.getHeight() != mHeight)
        mPixels.resize(0, 0);
      mDecoded.store(true, std::memory_order_release);
    });
  }
  return mPixels;
}
