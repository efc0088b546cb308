#pragma once

#include <cstdint>

// White noise that is the same on every machine, build and run: test
// signals, the demo clip and the artwork's grain all draw from it. A 32-bit
// linear congruential step; only its top 24 bits are random enough to use,
// and as a fraction they are exact in a float. [any thread, one per thread]
class ReproducibleNoise {
 public:
  explicit ReproducibleNoise(uint32_t seed) : mState(seed) {}

  // Uniform in [0, 1), in steps of 2^-24.
  double unit() {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<double>(mState >> 8) / 16777216.0;
  }
  // Uniform in [-1, 1), in steps of 2^-23.
  double bipolar() { return unit() * 2.0 - 1.0; }

 private:
  uint32_t mState;
};
