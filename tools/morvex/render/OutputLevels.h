#pragma once

#include <cstddef>
#include <string>

// Peak, RMS and full-scale count of the samples a render writes. Runs on the
// render's thread, after each chunk is rendered.
class OutputLevels {
 public:
  void add(const float* samples, size_t count);
  // Adds another render's samples, as if they had followed these.
  void add(const OutputLevels& other);

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

// "-9.1 dBFS" and the like.
std::string DbfsText(double dbfs);
