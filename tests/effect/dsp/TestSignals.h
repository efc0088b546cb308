#pragma once

#include <random>
#include <vector>

// Reproducible white noise, uniform in ±amplitude.
inline std::vector<double> noise(int n, unsigned seed, double amplitude = 0.5) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-amplitude, amplitude);
  std::vector<double> v(n);
  for (double& x : v)
    x = dist(rng);
  return v;
}
