#pragma once

// Bitmaps the editor makes at run time (scaled and cropped copies) are held
// to the limits the PNG loader puts on decoded images, so no layout value
// can make the editor ask for more memory than its largest image could
// need, nor overflow a pixel count. [any thread]

inline constexpr long long kMaxBitmapSide = 32768;
inline constexpr long long kMaxBitmapPixels = 1ll << 25;

// Whether a w x h bitmap may be made: both sides at least 1 and within the
// limits above.
inline bool BitmapSizeAllowed(long long w, long long h) {
  return w >= 1 && h >= 1 && w <= kMaxBitmapSide && h <= kMaxBitmapSide &&
         w * h <= kMaxBitmapPixels;
}
