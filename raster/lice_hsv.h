#pragma once

#include <array>

#include "raster/lice_pixel.h"

// Integer hue/saturation/value conversion used by the HSV-adjust combine.
// Hue runs 0..383 in six sectors of 64 (red 0, green 128, blue 256);
// saturation and value run 0..255.

namespace lice_detail {

constexpr std::array<int, 256> makeReciprocals() {
  std::array<int, 256> t{};
  for (int i = 1; i < 256; ++i)
    t[i] = 65536 / i - 1;
  return t;
}

}  // namespace lice_detail

// T[i] = floor(65536 / i) - 1, T[0] = 0: divisions by a channel value become
// a multiplication and a shift.
inline constexpr std::array<int, 256> LICE_kReciprocals = lice_detail::makeReciprocals();

inline void LICE_RGB2HSV(int r, int g, int b, int* h, int* s, int* v) {
  int base, delta, d, max;
  if (g > r ? g <= b : r <= b) {  // blue largest
    max = b;
    base = 256;
    delta = b - (r < g ? r : g);
    d = r - g;
  } else if (g > r) {  // green largest
    max = g;
    base = 128;
    delta = g - (r < b ? r : b);
    d = b - r;
  } else {  // red largest
    max = r;
    d = g - b;
    if (g >= b) {
      base = 0;
      delta = r - b;
    } else {
      base = 383;
      delta = r - g;
    }
  }
  *h = (d * (LICE_kReciprocals[delta] + 1)) / 1024 + base;
  *s = (delta * LICE_kReciprocals[max]) / 256;
  *v = max;
}

// Out-of-range inputs are clamped, so every hue, saturation and value maps to
// channels within 0..255.
inline void LICE_HSV2RGB(int h, int s, int v, int* r, int* g, int* b) {
  h = h < 0 ? 0 : h > 383 ? 383 : h;
  s = s < 0 ? 0 : s > 255 ? 255 : s;
  v = v < 0 ? 0 : v > 255 ? 255 : v;
  const int lo = v * (256 - s) / 256;
  auto ramp = [v, s](int x) { return v * (16384 - x * s) / 16384; };
  switch (h / 64) {
    case 0:
      *r = v;
      *g = ramp(64 - h);
      *b = lo;
      break;
    case 1:
      *r = ramp(h - 64);
      *g = v;
      *b = lo;
      break;
    case 2:
      *r = lo;
      *g = v;
      *b = ramp(192 - h);
      break;
    case 3:
      *r = lo;
      *g = ramp(h - 192);
      *b = v;
      break;
    case 4:
      *r = ramp(320 - h);
      *g = lo;
      *b = v;
      break;
    default:
      *r = v;
      *g = lo;
      *b = ramp(h - 320);
      break;
  }
}
