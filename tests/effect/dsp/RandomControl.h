#pragma once

#include <random>

// One control call chosen at random, with random values in range, made alike
// on every engine given: a setter, a stage change or a reset.
template <class... Engines>
void randomControl(std::mt19937& rng, Engines&... engines) {
  const double v = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
  const double rates[] = {22050.0, 44100.0, 48000.0, 88200.0, 96000.0};
  switch (rng() % 8) {
    case 0:
      (engines.setFreq(v), ...);
      break;
    case 1:
      (engines.setFeedback(v), ...);
      break;
    case 2:
      (engines.setSpread(v), ...);
      break;
    case 3:
      (engines.setRate(v), ...);
      break;
    case 4:
      (engines.setDepth(v), ...);
      break;
    case 5:
      (engines.setMix(v), ...);
      break;
    case 6: {
      const int stages = static_cast<int>(rng() % 8) - 1;  // -1 and 6 run six sections too
      (engines.setStages(stages), ...);
      break;
    }
    default: {
      const double rate = rates[rng() % 5];
      (engines.reset(rate), ...);
      break;
    }
  }
}
