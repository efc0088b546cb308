#pragma once

#include <random>

// An int in 0..n-1 (n > 0): the generator's value modulo n, so each seed
// keeps picking the same cases. The result is below n, so it fits an int.
inline int randomBelow(std::mt19937& rng, int n) {
  return static_cast<int>(rng() % static_cast<std::mt19937::result_type>(n));
}
