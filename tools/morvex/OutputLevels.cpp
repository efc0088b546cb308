#include "tools/morvex/OutputLevels.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>

namespace {

// Silence reads as -inf in dB; the floor keeps the text a number.
constexpr double kFloorDbfs = -200;

double dbfs(double level) {
  return level > 0 ? std::max(kFloorDbfs, 20 * std::log10(level)) : kFloorDbfs;
}

}  // namespace

void OutputLevels::add(const float* samples, size_t count) {
  // Four samples a step in two pairs of lanes, each lane with its own peak,
  // sum and count: one running sum would make every addition wait for the
  // one before. The peak and the count come out exactly as sample by
  // sample; the sum of squares differs only in its last bits.
  const __m128d sign = _mm_set1_pd(-0.0);
  const __m128d fullScale = _mm_set1_pd(1.0);
  __m128d peak[2] = {_mm_setzero_pd(), _mm_setzero_pd()};
  __m128d squares[2] = {_mm_setzero_pd(), _mm_setzero_pd()};
  __m128i clipped[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128 four = _mm_loadu_ps(samples + i);
    const __m128d pairs[2] = {_mm_cvtps_pd(four), _mm_cvtps_pd(_mm_movehl_ps(four, four))};
    for (int k = 0; k < 2; ++k) {
      const __m128d magnitude = _mm_andnot_pd(sign, pairs[k]);
      // (magnitude > peak) ? magnitude : peak, as std::max(peak, magnitude).
      peak[k] = _mm_max_pd(magnitude, peak[k]);
      squares[k] = _mm_add_pd(squares[k], _mm_mul_pd(magnitude, magnitude));
      // A lane at full scale compares as all ones, which is -1.
      clipped[k] = _mm_sub_epi64(clipped[k], _mm_castpd_si128(_mm_cmpge_pd(magnitude, fullScale)));
    }
  }
  double lanePeaks[4], laneSquares[4];
  long long laneClipped[4];
  for (int k = 0; k < 2; ++k) {
    _mm_storeu_pd(lanePeaks + 2 * k, peak[k]);
    _mm_storeu_pd(laneSquares + 2 * k, squares[k]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(laneClipped + 2 * k), clipped[k]);
  }
  for (int lane = 0; lane < 4; ++lane) {
    mPeak = std::max(mPeak, lanePeaks[lane]);
    mSquares += laneSquares[lane];
    mClipped += laneClipped[lane];
  }
  for (; i < count; ++i) {
    const double magnitude = std::fabs(samples[i]);
    mPeak = std::max(mPeak, magnitude);
    mSquares += magnitude * magnitude;
    if (magnitude >= 1.0) ++mClipped;
  }
  mCount += static_cast<long long>(count);
}

double OutputLevels::peakDbfs() const {
  return dbfs(mPeak);
}

double OutputLevels::rmsDbfs() const {
  return dbfs(mCount > 0 ? std::sqrt(mSquares / static_cast<double>(mCount)) : 0);
}
