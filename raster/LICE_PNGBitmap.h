#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "raster/LICE_IBitmap.h"
#include "raster/LICE_MemBitmap.h"

// A PNG file's image that is decoded the first time its pixels are wanted.
// Opening reads only the header, so the size is known for laying out an
// editor at once, while a plug-in that never shows its editor (a render on
// the command line) never pays for inflating its images.
//
// Opening refuses what LICE_LoadPNG refuses before the image data. Should
// the data itself then fail to decode (damage after the header, the file
// gone or replaced by one of another size), the bitmap turns empty: no
// pixels and 0 x 0, so whatever draws it draws nothing there, just as with
// a bitmap whose storage could not be allocated.
//
// Threads: the editors' bitmap cache shares one bitmap between editors
// that may draw on different threads. The decode runs under std::call_once,
// so it happens once, on the first thread that asks for pixels; any other
// thread asking meanwhile waits for it and then reads the same pixels.
// After that, reading is as with any decoded bitmap.
class LICE_PNGBitmap : public LICE_IBitmap {
 public:
  // [any thread] A new bitmap owned by the caller, or null when
  // LICE_ReadPNGSize refuses the file.
  static LICE_PNGBitmap* Open(const char* filename);

  LICE_PNGBitmap(const LICE_PNGBitmap&) = delete;
  LICE_PNGBitmap& operator=(const LICE_PNGBitmap&) = delete;

  LICE_pixel* getBits() const override { return pixels().getBits(); }
  int getWidth() const override;
  int getHeight() const override;
  int getRowSpan() const override { return pixels().getRowSpan(); }
  bool resize(int width, int height) override { return pixels().resize(width, height); }

  // Whether the pixels have been asked for (and so decoded, or found broken).
  bool isDecoded() const { return mDecoded.load(std::memory_order_acquire); }

 private:
  LICE_PNGBitmap(std::string filename, int width, int height);
  LICE_MemBitmap& pixels() const;

  const std::string mFilename;
  const int mWidth;
  const int mHeight;
  mutable std::once_flag mDecodeOnce;
  mutable std::atomic<bool> mDecoded{false};
  mutable LICE_MemBitmap mPixels;
};
