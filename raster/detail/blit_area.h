#pragma once

namespace lice_detail {

// The part of an unscaled copy that touches both bitmaps.
struct BlitArea {
  int dstX, dstY;
  int srcX, srcY;
  int width, height;
};

// Clips a copy of source rectangle [left, right) x [top, bottom) to
// destination (dstX, dstY): a source rectangle reaching left of or above the
// source moves the destination position instead, a destination position
// left of or above the destination moves the source rectangle, and the copy
// is cut at the right and bottom edges of both. 64-bit arithmetic keeps any
// int arguments from overflowing. Returns false when nothing remains.
inline bool clipBlit(int dstW, int dstH, int srcW, int srcH, long long dstX, long long dstY,
                     long long left, long long top, long long right, long long bottom,
                     BlitArea* area) {
  if (left < 0) {
    dstX -= left;
    left = 0;
  }
  if (top < 0) {
    dstY -= top;
    top = 0;
  }
  if (right > srcW) right = srcW;
  if (bottom > srcH) bottom = srcH;
  if (dstX < 0) {
    left -= dstX;
    dstX = 0;
  }
  if (dstY < 0) {
    top -= dstY;
    dstY = 0;
  }
  if (right <= left || bottom <= top || dstX >= dstW || dstY >= dstH) return false;
  if (right > left + dstW - dstX) right = left + dstW - dstX;
  if (bottom > top + dstH - dstY) bottom = top + dstH - dstY;
  if (right <= left || bottom <= top) return false;
  *area = BlitArea{static_cast<int>(dstX),         static_cast<int>(dstY),
                   static_cast<int>(left),         static_cast<int>(top),
                   static_cast<int>(right - left), static_cast<int>(bottom - top)};
  return true;
}

}  // namespace lice_detail
