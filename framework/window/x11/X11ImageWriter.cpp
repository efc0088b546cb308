#include "framework/window/x11/X11ImageWriter.h"

#include <X11/Xutil.h>

#include <algorithm>

#include "raster/LICE_IBitmap.h"
#include "raster/lice_pixel.h"

X11ImageWriter::Channel X11ImageWriter::ChannelOf(unsigned long mask) {
  Channel channel;
  if (!mask) return channel;
  while (!(mask & 1)) {
    mask >>= 1;
    ++channel.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++channel.bits;
  }
  return channel;
}

X11ImageWriter::X11ImageWriter(Display* display, Visual* visual, int depth)
    : mDisplay(display),
      mVisual(visual),
      mDepth(depth),
      mRed(ChannelOf(visual->red_mask)),
      mGreen(ChannelOf(visual->green_mask)),
      mBlue(ChannelOf(visual->blue_mask)),
      mDirect((depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 &&
              visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF) {}

unsigned long X11ImageWriter::PixelValue(uint32_t p) const {
  // Each 8-bit channel keeps its top bits when the visual has fewer.
  auto place = [](unsigned value, Channel channel) -> unsigned long {
    const unsigned long scaled =
        channel.bits >= 8 ? value << (channel.bits - 8) : value >> (8 - channel.bits);
    return scaled << channel.shift;
  };
  return place(LICE_GETR(p), mRed) | place(LICE_GETG(p), mGreen) | place(LICE_GETB(p), mBlue);
}

bool X11ImageWriter::Put(Drawable drawable, GC gc, const LICE_IBitmap& bitmap, int x, int y, int w,
                         int h, int scale) {
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + w, bitmap.getWidth());
  const int bottom = std::min(y + h, bitmap.getHeight());
  if (right <= left || bottom <= top || !bitmap.getBits() || scale < 1) return false;
  const int outW = (right - left) * scale, outH = (bottom - top) * scale;

  mBuffer.resize(static_cast<size_t>(outW) * static_cast<size_t>(outH));
  XImage* image = XCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0,
                               reinterpret_cast<char*>(mBuffer.data()), static_cast<unsigned>(outW),
                               static_cast<unsigned>(outH), 32, outW * 4);
  if (!image) return false;
  // Our words are in this machine's byte order; XPutImage converts to the
  // server's.
  const uint32_t probe = 1;
  image->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
  const bool direct = mDirect && image->bits_per_pixel == 32;
  for (int row = top; row < bottom; ++row) {
    const int stored = bitmap.isFlipped() ? bitmap.getHeight() - 1 - row : row;
    const LICE_pixel* src = bitmap.getBits() + static_cast<size_t>(stored) * bitmap.getRowSpan();
    for (int col = left; col < right; ++col) {
      const unsigned long value = PixelValue(src[col]);
      for (int dy = 0; dy < scale; ++dy) {
        const int outY = (row - top) * scale + dy;
        for (int dx = 0; dx < scale; ++dx) {
          const int outX = (col - left) * scale + dx;
          if (direct) {
            mBuffer[static_cast<size_t>(outY) * static_cast<size_t>(outW) +
                    static_cast<size_t>(outX)] = static_cast<uint32_t>(value);
          } else {
            XPutPixel(image, outX, outY, value);
          }
        }
      }
    }
  }
  XPutImage(mDisplay, drawable, gc, image, 0, 0, left * scale, top * scale,
            static_cast<unsigned>(outW), static_cast<unsigned>(outH));
  image->data = nullptr;  // the buffer is ours, not Xlib's to free
  XDestroyImage(image);
  return true;
}
