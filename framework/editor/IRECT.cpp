#include "framework/editor/IRECT.h"

#include <algorithm>

#include "framework/editor/IBitmap.h"

IRECT::IRECT(int x, int y, const IBitmap* bitmap) : L(x), T(y), R(x), B(y) {
  if (!bitmap) return;
  R = x + bitmap->FrameWidth();
  B = y + bitmap->FrameHeight();
}

bool IRECT::Contains(int x, int y) const {
  return !Empty() && x >= L && x < R && y >= T && y < B;
}

bool IRECT::Intersects(const IRECT& other) const {
  return !Empty() && !other.Empty() && R >= other.L && L < other.R && B >= other.T && T < other.B;
}

IRECT IRECT::Intersect(const IRECT& other) const {
  if (!Intersects(other)) return IRECT();
  return IRECT(std::max(L, other.L), std::max(T, other.T), std::min(R, other.R),
               std::min(B, other.B));
}

IRECT IRECT::Union(const IRECT& other) const {
  if (Empty()) return other;
  if (other.Empty()) return *this;
  return IRECT(std::min(L, other.L), std::min(T, other.T), std::max(R, other.R),
               std::max(B, other.B));
}

IRECT IRECT::SubRectHorizontal(int n, int i) const {
  const int width = W() / std::max(n, 1);
  return IRECT(L + i * width, T, L + (i + 1) * width, B);
}

IRECT IRECT::SubRectVertical(int n, int i) const {
  const int height = H() / std::max(n, 1);
  return IRECT(L, T + i * height, R, T + (i + 1) * height);
}
