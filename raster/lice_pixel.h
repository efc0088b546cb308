#pragma once

#include <cstdint>

// One raster pixel: four 8-bit channels, from the lowest address alpha, red,
// green, blue; read as an integer on a little-endian machine that is alpha in
// bits 0-7 up to blue in bits 24-31. Every raster operation uses this layout.
typedef uint32_t LICE_pixel;
typedef uint8_t LICE_pixel_chan;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the pixel layout's byte order assumes a little-endian machine");

// Byte offsets of the channels within a pixel.
constexpr int LICE_PIXEL_A = 0;
constexpr int LICE_PIXEL_R = 1;
constexpr int LICE_PIXEL_G = 2;
constexpr int LICE_PIXEL_B = 3;

constexpr LICE_pixel LICE_RGBA(int r, int g, int b, int a) {
  return static_cast<LICE_pixel>(a & 255) | static_cast<LICE_pixel>(r & 255) << 8 |
         static_cast<LICE_pixel>(g & 255) << 16 | static_cast<LICE_pixel>(b & 255) << 24;
}

constexpr int LICE_GETA(LICE_pixel p) {
  return static_cast<int>(p & 255);
}
constexpr int LICE_GETR(LICE_pixel p) {
  return static_cast<int>((p >> 8) & 255);
}
constexpr int LICE_GETG(LICE_pixel p) {
  return static_cast<int>((p >> 16) & 255);
}
constexpr int LICE_GETB(LICE_pixel p) {
  return static_cast<int>((p >> 24) & 255);
}
