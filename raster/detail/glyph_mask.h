#pragma once

#include <cstring>
#include <vector>

namespace lice_detail {

// Glyph coverage masks: width x height bytes, row by row, 0 empty to 255
// full.

// Turns the mask a quarter (clockwise, or counter-clockwise when
// `counterClockwise`): width and height swap.
inline void rotateMask(unsigned char* mask, int* width, int* height, bool counterClockwise) {
  const int w = *width, h = *height;
  const std::vector<unsigned char> source(mask, mask + static_cast<size_t>(w) * h);
  // The turned mask is h wide and w tall.
  for (int y = 0; y < w; ++y) {
    for (int x = 0; x < h; ++x) {
      const int sx = counterClockwise ? w - 1 - y : y;
      const int sy = counterClockwise ? x : h - 1 - x;
      mask[static_cast<size_t>(y) * h + x] = source[static_cast<size_t>(sy) * w + sx];
    }
  }
  *width = h;
  *height = w;
}

// Coverage below 131 becomes 0, the rest 255.
inline void thresholdMask(unsigned char* mask, size_t count) {
  for (size_t i = 0; i < count; ++i)
    mask[i] = mask[i] < 131 ? 0 : 255;
}

// Marks empty bytes 128 where a full byte touches them: with `outline` on
// any side, otherwise on the left, upper-left or upper side (a shadow falling
// right and down). Expects a thresholded mask; marks never spread further.
inline void markEdges(unsigned char* mask, int width, int height, bool outline) {
  auto full = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           mask[static_cast<size_t>(y) * width + x] == 255;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char& m = mask[static_cast<size_t>(y) * width + x];
      if (m) continue;
      const bool touched =
          outline ? full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1)
                  : full(x - 1, y) || full(x - 1, y - 1) || full(x, y - 1);
      if (touched) m = 128;
    }
  }
}

}  // namespace lice_detail
