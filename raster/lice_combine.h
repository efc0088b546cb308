#pragma once

#include "raster/lice_hsv.h"
#include "raster/lice_pixel.h"

// Per-pixel combine operations. Each combines the source channels r, g, b, a
// (normally 0..255) at integer weight w (0..256) into the destination pixel
// `d`, addressed as bytes in the pixel layout. Division truncates toward zero
// exactly as written; results are stored as their low 8 bits unless the
// operation clamps.

namespace lice_detail {

inline LICE_pixel_chan clamp255(int v) {
  return static_cast<LICE_pixel_chan>(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline LICE_pixel_chan low8(int v) {
  return static_cast<LICE_pixel_chan>(v & 255);
}

// One channel of each operation: destination c, source s, weight w.
inline int sourceChannel(int, int s, int) {
  return s;
}
inline int copyChannel(int c, int s, int w) {
  return s + ((c - s) * (256 - w)) / 256;
}
inline int addChannel(int c, int s, int w) {
  return c + (s * w) / 256;
}
inline int dodgeChannel(int c, int s, int w) {
  const int t = 256 - (s * w) / 256;
  return t >= 2 ? (c * 256) / t : c * 256;
}
inline int multiplyChannel(int c, int s, int w) {
  return (c * ((256 - w) * 256 + s * w)) >> 16;
}
inline int overlayChannel(int c, int s, int w) {
  const int k = s * w + (256 - w) * 128;
  return (c * ((c * (32768 - k)) / 256 + k)) >> 15;
}
inline int halfChannel(int c, int s, int) {
  return (c + s) >> 1;
}

}  // namespace lice_detail

// Applies Channel to all four channels, alpha included, storing each result
// through Store (its low 8 bits, or clamped to 0..255).
template <int (*Channel)(int, int, int), LICE_pixel_chan (*Store)(int)>
struct LICE_CombineChannels {
  static void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w) {
    d[LICE_PIXEL_R] = Store(Channel(d[LICE_PIXEL_R], r, w));
    d[LICE_PIXEL_G] = Store(Channel(d[LICE_PIXEL_G], g, w));
    d[LICE_PIXEL_B] = Store(Channel(d[LICE_PIXEL_B], b, w));
    d[LICE_PIXEL_A] = Store(Channel(d[LICE_PIXEL_A], a, w));
  }
};

// The source pixel; w is ignored.
typedef LICE_CombineChannels<lice_detail::sourceChannel, lice_detail::low8> LICE_CombineClobber;
typedef LICE_CombineChannels<lice_detail::sourceChannel, lice_detail::clamp255>
    LICE_CombineClobberClamp;
// s + (c - s)(256 - w) / 256
typedef LICE_CombineChannels<lice_detail::copyChannel, lice_detail::low8> LICE_CombineCopy;
typedef LICE_CombineChannels<lice_detail::copyChannel, lice_detail::clamp255> LICE_CombineCopyClamp;
// c + s w / 256, clamped
typedef LICE_CombineChannels<lice_detail::addChannel, lice_detail::clamp255> LICE_CombineAdd;
// c 256 / (256 - s w / 256), clamped
typedef LICE_CombineChannels<lice_detail::dodgeChannel, lice_detail::clamp255>
    LICE_CombineColorDodge;
// c ((256 - w) 256 + s w) / 65536
typedef LICE_CombineChannels<lice_detail::multiplyChannel, lice_detail::low8> LICE_CombineMultiply;
typedef LICE_CombineChannels<lice_detail::multiplyChannel, lice_detail::clamp255>
    LICE_CombineMultiplyClamp;
// Darkens dark and lightens light destination channels, clamped.
typedef LICE_CombineChannels<lice_detail::overlayChannel, lice_detail::clamp255>
    LICE_CombineOverlay;
// The mean of destination and source; w is ignored.
typedef LICE_CombineChannels<lice_detail::halfChannel, lice_detail::low8> LICE_CombineHalfMix;

// Shifts the destination's hue by the source red, its saturation by the source
// green and its value by the source blue, each neutral at 128; alpha becomes
// the source alpha.
struct LICE_CombineHSVAdjust {
  static void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w) {
    int h, s, v;
    LICE_RGB2HSV(d[LICE_PIXEL_R], d[LICE_PIXEL_G], d[LICE_PIXEL_B], &h, &s, &v);
    h += ((r + r / 2 - 192) * w) / 256;
    if (h < 0) {
      h += 384;
    } else if (h >= 384) {
      h -= 384;
    }
    s += ((g - 128) * w) / 128;
    v += ((b - 128) * w) / 128;
    int nr, ng, nb;
    LICE_HSV2RGB(h, s, v, &nr, &ng, &nb);
    d[LICE_PIXEL_R] = static_cast<LICE_pixel_chan>(nr);
    d[LICE_PIXEL_G] = static_cast<LICE_pixel_chan>(ng);
    d[LICE_PIXEL_B] = static_cast<LICE_pixel_chan>(nb);
    d[LICE_PIXEL_A] = lice_detail::low8(a);
  }
};

// Source-alpha forms: the weight becomes w' = w (a + 1) / 256.

// Colour follows the copy formula at w'; alpha accumulates w'.
struct LICE_CombineCopySourceAlpha {
  static void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w) {
    if (!a) return;
    const int wa = (w * (a + 1)) / 256;
    d[LICE_PIXEL_R] = lice_detail::low8(lice_detail::copyChannel(d[LICE_PIXEL_R], r, wa));
    d[LICE_PIXEL_G] = lice_detail::low8(lice_detail::copyChannel(d[LICE_PIXEL_G], g, wa));
    d[LICE_PIXEL_B] = lice_detail::low8(lice_detail::copyChannel(d[LICE_PIXEL_B], b, wa));
    const int na = d[LICE_PIXEL_A] + wa;
    d[LICE_PIXEL_A] = static_cast<LICE_pixel_chan>(na > 255 ? 255 : na);
  }
};

// Copy at full weight (w = 256, ignored): the common "draw a bitmap with its
// transparency" case, with opaque and transparent pixels short-cut.
struct LICE_CombineCopySourceAlphaFull {
  static void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int) {
    if (!a) return;
    if (a == 255) {
      LICE_CombineClobber::doPix(d, r, g, b, a, 256);
      return;
    }
    const int ia = 255 - a;
    d[LICE_PIXEL_R] = lice_detail::low8(r + ((d[LICE_PIXEL_R] - r) * ia) / 256);
    d[LICE_PIXEL_G] = lice_detail::low8(g + ((d[LICE_PIXEL_G] - g) * ia) / 256);
    d[LICE_PIXEL_B] = lice_detail::low8(b + ((d[LICE_PIXEL_B] - b) * ia) / 256);
    const int na = d[LICE_PIXEL_A] + a;
    d[LICE_PIXEL_A] = static_cast<LICE_pixel_chan>(na > 255 ? 255 : na);
  }
};

// The plain formula of Op at w' on all four channels; add and multiply leave
// the destination alone for a fully transparent source, the others do not.
template <class Op, bool kSkipTransparent>
struct LICE_CombineSourceAlpha {
  static void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w) {
    if (kSkipTransparent && !a) return;
    Op::doPix(d, r, g, b, a, (w * (a + 1)) / 256);
  }
};

typedef LICE_CombineSourceAlpha<LICE_CombineAdd, true> LICE_CombineAddSourceAlpha;
typedef LICE_CombineSourceAlpha<LICE_CombineMultiply, true> LICE_CombineMultiplySourceAlpha;
typedef LICE_CombineSourceAlpha<LICE_CombineColorDodge, false> LICE_CombineColorDodgeSourceAlpha;
typedef LICE_CombineSourceAlpha<LICE_CombineOverlay, false> LICE_CombineOverlaySourceAlpha;
typedef LICE_CombineSourceAlpha<LICE_CombineHSVAdjust, false> LICE_CombineHSVAdjustSourceAlpha;

// Whole-pixel fast forms on packed values, one read and one write a pixel.

inline LICE_pixel LICE_HalfMixPixels(LICE_pixel d, LICE_pixel s) {
  return ((d >> 1) & 0x7F7F7F7F) + ((s >> 1) & 0x7F7F7F7F);
}

// A solid colour pre-shifted for fills at weights 128, 64 and 192.
struct LICE_SolidMix {
  explicit LICE_SolidMix(LICE_pixel c)
      : color(c), half((c >> 1) & 0x7F7F7F7F), quarter((c >> 2) & 0x3F3F3F3F) {}

  LICE_pixel mixHalf(LICE_pixel d) const { return ((d >> 1) & 0x7F7F7F7F) + half; }
  LICE_pixel mixQuarter(LICE_pixel d) const {
    return ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + quarter;
  }
  LICE_pixel mixThreeQuarters(LICE_pixel d) const {
    return ((d >> 2) & 0x3F3F3F3F) + half + quarter;
  }

  // Whether integer weight w has a fast form: 256, 128, 64 or 192.
  static bool hasFastForm(int w) { return w == 256 || w == 128 || w == 64 || w == 192; }
  // Applies the fast form of weight w (one of hasFastForm's).
  LICE_pixel mix(LICE_pixel d, int w) const {
    switch (w) {
      case 256:
        return color;
      case 128:
        return mixHalf(d);
      case 64:
        return mixQuarter(d);
      default:
        return mixThreeQuarters(d);
    }
  }

  LICE_pixel color;
  LICE_pixel half;
  LICE_pixel quarter;
};
