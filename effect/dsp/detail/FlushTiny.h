#pragma once

#include <cmath>

namespace morvex_dsp_detail {

// A recursive filter fed silence decays toward zero and ends in denormal
// numbers, which some processors handle dozens of times slower; a smoother
// decaying by 0.99 even sticks at the smallest denormal for good. Values this
// small lie hundreds of decibels below any audible level, so zeroing them
// changes nothing anyone can hear, while leaving a margin of about 58 decades
// before denormal range that no decay of ours covers between two flushes.
constexpr double kTiny = 1e-250;

inline double flushTiny(double v) noexcept {
  return std::fabs(v) < kTiny ? 0.0 : v;
}

}  // namespace morvex_dsp_detail
