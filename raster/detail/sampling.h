#pragma once

#include <cstdint>

#include "raster/detail/pixel_rows.h"
#include "raster/lice_pixel.h"

namespace lice_detail {

// Source channels handed to a combine operation.
struct Rgba {
  int r, g, b, a;
};

inline Rgba unpack(LICE_pixel p) {
  return Rgba{LICE_GETR(p), LICE_GETG(p), LICE_GETB(p), LICE_GETA(p)};
}

// Bilinear mix at source pixel (x, y) with 16-bit fractions fx, fy. Pixels
// right of lastX or below lastY are not read: in the last column only the
// vertical mix is used, in the last row only the horizontal one.
inline Rgba sampleBilinear(const PixelRows& src, int x, int y, int fx, int fy, int lastX,
                           int lastY) {
  const LICE_pixel* p = src.at(x, y);
  const LICE_pixel_chan* p00 = chans(p);
  if (x < lastX && y < lastY) {
    const LICE_pixel_chan* p10 = chans(p + 1);
    const LICE_pixel_chan* p01 = chans(p + src.step);
    const LICE_pixel_chan* p11 = chans(p + src.step + 1);
    // The product of two 16-bit fractions needs all 32 bits unsigned.
    const int f11 = static_cast<int>((static_cast<uint32_t>(fx) * static_cast<uint32_t>(fy)) >> 16);
    const int f10 = fx - f11;
    const int f01 = fy - f11;
    const int f00 = 65536 - fx - fy + f11;
    auto mix = [&](int c) {
      return (p00[c] * f00 + p10[c] * f10 + p01[c] * f01 + p11[c] * f11) >> 16;
    };
    return Rgba{mix(LICE_PIXEL_R), mix(LICE_PIXEL_G), mix(LICE_PIXEL_B), mix(LICE_PIXEL_A)};
  }
  if (y < lastY) {
    const LICE_pixel_chan* p01 = chans(p + src.step);
    auto mix = [&](int c) { return (p00[c] * (65536 - fy) + p01[c] * fy) >> 16; };
    return Rgba{mix(LICE_PIXEL_R), mix(LICE_PIXEL_G), mix(LICE_PIXEL_B), mix(LICE_PIXEL_A)};
  }
  if (x < lastX) {
    const LICE_pixel_chan* p10 = chans(p + 1);
    auto mix = [&](int c) { return (p00[c] * (65536 - fx) + p10[c] * fx) >> 16; };
    return Rgba{mix(LICE_PIXEL_R), mix(LICE_PIXEL_G), mix(LICE_PIXEL_B), mix(LICE_PIXEL_A)};
  }
  return unpack(*p);
}

// Combiner::doPix with sampled channels.
template <class Combiner>
inline void combineSample(LICE_pixel* d, const Rgba& s, int w) {
  Combiner::doPix(chans(d), s.r, s.g, s.b, s.a, w);
}

}  // namespace lice_detail
