#pragma once

#include <vector>

#include "framework/base/ReproducibleNoise.h"

// Fills a block with noise at about -60 dBFS: what the editor's views feed
// the effect so that its sweep display moves, the same on every run.
inline void FillQuietNoise(ReproducibleNoise& noise, std::vector<float>& block) {
  for (float& sample : block)
    sample = static_cast<float>(noise.unit()) * 0.002f - 0.001f;
}
