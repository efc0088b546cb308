#pragma once

#include <cstdint>

namespace lice_detail {

// Floor and ceiling of n / d for d > 0.
inline int64_t floorDiv(int64_t n, int64_t d) {
  return n >= 0 ? n / d : -((-n + d - 1) / d);
}
inline int64_t ceilDiv(int64_t n, int64_t d) {
  return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// Narrows [*first, *last) to the steps i with lo <= pos + i * step < hi.
// Solving the bounds once per span replaces a test per pixel; the caller keeps
// |pos|, |step|, |lo| and |hi| below 2^60 so nothing here overflows.
inline void clipSteps(int64_t pos, int64_t step, int64_t lo, int64_t hi, int* first, int* last) {
  int64_t from = *first, to = *last;  // to is exclusive
  if (step == 0) {
    if (pos < lo || pos >= hi) to = from;
  } else if (step > 0) {
    const int64_t a = ceilDiv(lo - pos, step);
    const int64_t b = floorDiv(hi - 1 - pos, step) + 1;
    if (a > from) from = a;
    if (b < to) to = b;
  } else {
    const int64_t a = ceilDiv(pos - (hi - 1), -step);
    const int64_t b = floorDiv(pos - lo, -step) + 1;
    if (a > from) from = a;
    if (b < to) to = b;
  }
  if (to <= from) {
    *last = *first;  // empty; from may lie far outside the int range
    return;
  }
  *first = static_cast<int>(from);
  *last = static_cast<int>(to);
}

}  // namespace lice_detail
