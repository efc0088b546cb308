#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "framework/base/ReproducibleNoise.h"

// Interleaved test signals for the wrapper's tests.
inline std::vector<float> Noise(size_t samples) {
  ReproducibleNoise noise(7);
  std::vector<float> out(samples);
  for (float& s : out)
    s = static_cast<float>(0.5 * noise.bipolar());
  return out;
}

// A 440 Hz sine at half scale, the same on both channels.
inline std::vector<float> StereoSine(size_t frames) {
  std::vector<float> out(2 * frames);
  for (size_t f = 0; f < frames; ++f)
    out[2 * f] = out[2 * f + 1] =
        static_cast<float>(0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(f) / 44100.0));
  return out;
}
