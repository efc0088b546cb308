#pragma once

// Include after gtest (Xlib defines None as a macro).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <ostream>

// A pixel read back from the screen, 8 bits a channel.
struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// The pixel at (x, y) of an image taken with XGetImage, by the visual's
// channel masks.
inline Rgb ReadBack(XImage* image, int x, int y, const Visual* visual) {
  const unsigned long v = XGetPixel(image, x, y);
  auto channel = [v](unsigned long mask) {
    unsigned long value = v & mask;
    while (mask && !(mask & 1)) {
      mask >>= 1;
      value >>= 1;
    }
    return static_cast<int>(value);
  };
  return {channel(visual->red_mask), channel(visual->green_mask), channel(visual->blue_mask)};
}
