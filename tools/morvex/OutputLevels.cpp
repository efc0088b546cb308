#include "tools/morvex/OutputLevels.h"

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
  for (size_t i = 0; i < count; ++i) {
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
