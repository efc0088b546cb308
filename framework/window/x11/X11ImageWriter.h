#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

class LICE_IBitmap;

// Copies part of a raster bitmap to an X drawable: the alpha byte is
// dropped (a window shows no transparency) and, at scale 2, every pixel
// becomes a 2 x 2 block for high-density screens. 24- and 32-bit TrueColor
// visuals with 8-bit channels take a direct path; any other visual goes
// through XPutPixel with the visual's own masks. [UI thread]
class X11ImageWriter {
 public:
  X11ImageWriter(Display* display, Visual* visual, int depth);
  X11ImageWriter(const X11ImageWriter&) = delete;
  X11ImageWriter& operator=(const X11ImageWriter&) = delete;

  // Copies the bitmap's pixels (x, y, w, h), clipped to the bitmap, to
  // (x * scale, y * scale) in the drawable. False when nothing could be
  // copied.
  bool Put(Drawable drawable, GC gc, const LICE_IBitmap& bitmap, int x, int y, int w, int h,
           int scale);

 private:
  struct Channel {
    int shift = 0;  // where the channel's lowest bit sits
    int bits = 0;   // how many bits it has
  };
  static Channel ChannelOf(unsigned long mask);
  unsigned long PixelValue(uint32_t rasterPixel) const;

  Display* mDisplay;
  Visual* mVisual;
  int mDepth;
  Channel mRed, mGreen, mBlue;
  bool mDirect;
  std::vector<uint32_t> mBuffer;
};
