#pragma once

struct IBitmap;

// A rectangle in editor pixels, origin top-left, y down; R and B lie just
// outside it for hit tests. Only (0, 0, 0, 0) counts as empty. A plain value.
// [any thread]
struct IRECT {
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  // One frame of the strip placed at (x, y): W / N wide and H high for
  // frames side by side, W wide and H / N high for stacked frames. A null
  // bitmap gives a zero-sized rectangle at (x, y).
  IRECT(int x, int y, const IBitmap* bitmap);

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * (static_cast<float>(L) + static_cast<float>(R)); }
  float MH() const { return 0.5f * (static_cast<float>(T) + static_cast<float>(B)); }

  bool operator==(const IRECT& other) const {
    return L == other.L && T == other.T && R == other.R && B == other.B;
  }
  bool operator!=(const IRECT& other) const { return !(*this == other); }

  bool Contains(int x, int y) const;
  // Touching along this rectangle's right or bottom edge counts, so that
  // a control ending where a dirty area starts is redrawn with it.
  bool Intersects(const IRECT& other) const;
  // The common part, or the empty rectangle when they do not intersect.
  IRECT Intersect(const IRECT& other) const;
  // The bounding rectangle; an empty operand yields the other.
  IRECT Union(const IRECT& other) const;
  // Slice i of n side by side (or stacked), each W / n (or H / n) in integer
  // division; n below 1 counts as 1.
  IRECT SubRectHorizontal(int n, int i) const;
  IRECT SubRectVertical(int n, int i) const;
};
