#pragma once

#include <climits>

// Truncates toward zero like a cast, but a value outside the int range
// saturates and NaN gives 0, where a plain cast is undefined behaviour.
inline int TruncToInt(double v) noexcept {
  if (v != v) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}
