#pragma once

#include <cstddef>

// Peak, RMS and full-scale count of the samples a render writes. Runs on the
// main thread, after each chunk is rendered.
class OutputLevels {
 public:
  void add(const float* samples, size_t count);

  // Samples at or beyond ±1: the effect clamps there, so these were clipped.
  long long clipped() const { return mClipped; }
  double peakDbfs() const;
  double rmsDbfs() const;

 private:
  double mPeak = 0;
  double mSquares = 0;
  long long mCount = 0;
  long long mClipped = 0;
};
