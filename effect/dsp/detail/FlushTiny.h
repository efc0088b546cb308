#pragma once

#include <cmath>

#include "effect/dsp/detail/DoublePair.h"

namespace dsp_detail {

// A recursive filter fed silence decays toward zero and ends in denormal
// numbers, which some processors handle dozens of times slower; a smoother
// decaying by 0.99 even sticks at the smallest denormal for good. Values this
// small lie hundreds of decibels below any audible level, so zeroing them
// changes nothing anyone can hear, while leaving a margin of about 58 decades
// before denormal range that no decay of ours covers between two flushes.
constexpr double kTiny = 1e-250;

// Not zero, but too small to matter.
inline bool isTiny(double v) noexcept {
  const double magnitude = std::fabs(v);
  return (magnitude < kTiny) & (magnitude > 0.0);
}

// Writes only when there is something to flush: these values sit on the
// filters' feedback paths, and rewriting them unchanged would lengthen the
// path through memory.
inline void flushTiny(double& v) noexcept {
  if (isTiny(v)) v = 0.0;
}

// isTiny lane by lane, as a mask.
inline __m128d tinyLanes(DoublePair v) noexcept {
  const DoublePair magnitude = abs(v);
  return _mm_and_pd(lessThan(magnitude, kTiny), _mm_cmpgt_pd(magnitude.v, _mm_setzero_pd()));
}

inline void flushTiny(DoublePair& v) noexcept {
  v = clearWhere(tinyLanes(v), v);
}

}  // namespace dsp_detail
