#pragma once

class LICE_IBitmap;

// An image strip of N frames (states) lying side by side or stacked top to
// bottom. A plain value copied freely: the pixels belong to the bitmap cache.
// [any thread]
struct IBitmap {
  LICE_IBitmap* mData = nullptr;
  int W = 0;
  int H = 0;
  // At least 1: a strip declared with no frames is one frame, so nothing
  // ever divides by zero when slicing it.
  int N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(LICE_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(framesAreHorizontal) {}

  // The frame count even when N was overwritten with something below 1.
  int FrameCount() const { return N < 1 ? 1 : N; }
  int FrameWidth() const { return mFramesAreHorizontal ? W / FrameCount() : W; }
  int FrameHeight() const { return mFramesAreHorizontal ? H : H / FrameCount(); }
};
