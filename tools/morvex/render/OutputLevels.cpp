#include "tools/morvex/render/OutputLevels.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Silence reads as -inf in dB; the floor keeps the text a number.
constexpr double kFloorDbfs = -200;

double dbfs(double level) {
  return level > 0 ? std::max(kFloorDbfs, 20 * std::log10(level)) : kFloorDbfs;
}

}  // namespace

void OutputLevels::add(const float* samples, size_t count) {
  // Eight samples a step, each lane with its own peak and sum: one running
  // sum would make every addition wait for the one before. Peaks and the
  // full-scale test are exact in single precision; the squares are summed
  // in double and differ from a serial sum only in their last bits.
  const __m128 sign = _mm_set1_ps(-0.0f);
  const __m128 fullScale = _mm_set1_ps(1.0f);
  __m128 peak[2] = {_mm_setzero_ps(), _mm_setzero_ps()};
  __m128d squares[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128 four[2] = {_mm_loadu_ps(samples + i), _mm_loadu_ps(samples + i + 4)};
    __m128 atFullScale[2];
    for (int k = 0; k < 2; ++k) {
      const __m128 magnitude = _mm_andnot_ps(sign, four[k]);
      // (magnitude > peak) ? magnitude : peak, so a NaN is passed over.
      peak[k] = _mm_max_ps(magnitude, peak[k]);
      atFullScale[k] = _mm_cmple_ps(fullScale, magnitude);
      const __m128d low = _mm_cvtps_pd(four[k]);
      const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(four[k], four[k]));
      squares[2 * k] = _mm_add_pd(squares[2 * k], _mm_mul_pd(low, low));
      squares[2 * k + 1] = _mm_add_pd(squares[2 * k + 1], _mm_mul_pd(high, high));
    }
    // Clipping is rare: counted only when a lane shows it.
    if (_mm_movemask_ps(_mm_or_ps(atFullScale[0], atFullScale[1])) != 0)
      mClipped += __builtin_popcount(static_cast<unsigned>(_mm_movemask_ps(atFullScale[0]))) +
                  __builtin_popcount(static_cast<unsigned>(_mm_movemask_ps(atFullScale[1])));
  }
  float lanePeaks[8];
  double laneSquares[8];
  _mm_storeu_ps(lanePeaks, peak[0]);
  _mm_storeu_ps(lanePeaks + 4, peak[1]);
  for (int k = 0; k < 4; ++k)
    _mm_storeu_pd(laneSquares + 2 * k, squares[k]);
  for (int lane = 0; lane < 8; ++lane) {
    mPeak = std::max(mPeak, static_cast<double>(lanePeaks[lane]));
    mSquares += laneSquares[lane];
  }
  for (; i < count; ++i) {
    const double magnitude = std::fabs(samples[i]);
    mPeak = std::max(mPeak, magnitude);
    mSquares += magnitude * magnitude;
    if (magnitude >= 1.0) ++mClipped;
  }
  mCount += static_cast<long long>(count);
}

void OutputLevels::add(const OutputLevels& other) {
  mPeak = std::max(mPeak, other.mPeak);
  mSquares += other.mSquares;
  mCount += other.mCount;
  mClipped += other.mClipped;
}

double OutputLevels::peakDbfs() const {
  return dbfs(mPeak);
}

double OutputLevels::rmsDbfs() const {
  return dbfs(mCount > 0 ? std::sqrt(mSquares / static_cast<double>(mCount)) : 0);
}

std::string DbfsText(double dbfs) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", dbfs);
  return text;
}
