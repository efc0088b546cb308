#pragma once

#include <cmath>
#include <cstdint>

namespace lice_detail {

// Source positions and steps beyond this many pixels cannot address a
// bitmap; refusing them keeps 16.16 arithmetic far from overflow.
constexpr double kMaxSourceCoordinate = 68719476736.0;  // 2^36

inline bool usableCoordinate(double v) {
  return std::fabs(v) < kMaxSourceCoordinate;
}

inline int64_t toFixed(double v) {
  return static_cast<int64_t>(v * 65536.0);
}

// A negative destination size mirrors one axis: the size turns positive, the
// destination moves back by it, and the source position moves to the far
// edge of a source size that is negated. Returns whether it mirrored.
inline bool mirrorAxis(long long* dst, long long* dstSize, double* src, double* srcSize) {
  if (*dstSize >= 0) return false;
  *dstSize = -*dstSize;
  *dst -= *dstSize;
  *src += *srcSize;
  *srcSize = -*srcSize;
  return true;
}

}  // namespace lice_detail
