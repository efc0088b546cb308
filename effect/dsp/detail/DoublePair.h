#pragma once

#include <emmintrin.h>

namespace dsp_detail {

// The left and right chains run the same sections on different samples, so
// the engine computes both in the two lanes of one SSE2 register. Each lane
// rounds exactly as the scalar operation would: a pair of chains gives the
// same samples as two chains one by one.
struct DoublePair {
  __m128d v;

  DoublePair() noexcept = default;  // DoublePair() is zero; a bare declaration is not
  explicit DoublePair(double both) noexcept : v(_mm_set1_pd(both)) {}
  DoublePair(__m128d lanes) noexcept : v(lanes) {}  // NOLINT: the register is the value
  DoublePair(double left, double right) noexcept : v(_mm_set_pd(right, left)) {}

  double left() const noexcept { return _mm_cvtsd_f64(v); }
  double right() const noexcept { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
};

inline DoublePair operator+(DoublePair a, DoublePair b) noexcept {
  return _mm_add_pd(a.v, b.v);
}
inline DoublePair operator-(DoublePair a, DoublePair b) noexcept {
  return _mm_sub_pd(a.v, b.v);
}
inline DoublePair operator*(DoublePair a, DoublePair b) noexcept {
  return _mm_mul_pd(a.v, b.v);
}
inline DoublePair operator-(DoublePair a) noexcept {
  return _mm_xor_pd(a.v, _mm_set1_pd(-0.0));
}

inline DoublePair abs(DoublePair a) noexcept {
  return _mm_andnot_pd(_mm_set1_pd(-0.0), a.v);
}

// x > -1 ? x : -1, then that < 1 ? that : 1, lane by lane, so a NaN
// becomes -1: maxpd and minpd return their second operand when the
// comparison fails.
inline DoublePair clampUnit(DoublePair x) noexcept {
  return _mm_min_pd(_mm_max_pd(x.v, _mm_set1_pd(-1.0)), _mm_set1_pd(1.0));
}

// Masks: all bits set in a lane where the comparison holds.
inline __m128d lessThan(DoublePair a, double limit) noexcept {
  return _mm_cmplt_pd(a.v, _mm_set1_pd(limit));
}
// True for NaN, as !(a < limit) is.
inline __m128d notLessThan(DoublePair a, double limit) noexcept {
  return _mm_cmpnlt_pd(a.v, _mm_set1_pd(limit));
}
// True for NaN, as !(a <= limit) is.
inline __m128d notAtMost(DoublePair a, double limit) noexcept {
  return _mm_cmpnle_pd(a.v, _mm_set1_pd(limit));
}
inline bool any(__m128d mask) noexcept {
  return _mm_movemask_pd(mask) != 0;
}
// Zero where the mask is set.
inline DoublePair clearWhere(__m128d mask, DoublePair a) noexcept {
  return _mm_andnot_pd(mask, a.v);
}

}  // namespace dsp_detail
