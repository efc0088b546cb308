// What the engine says its settings mean (the sweep's bottom, top and time)
// against what a running engine does with them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "effect/dsp/CAllPass6.h"
#include "effect/dsp/CPhaser.h"

namespace {

struct Observed {
  double lowestHz = HUGE_VAL, highestHz = 0.0;
  std::vector<long> wraps;  // frames at which the sweep starts again
};

// Runs the engine on a quiet signal (silence would freeze the sweep) and
// watches the right chain's tuning and the sweep oscillator's phase.
Observed Watch(double sampleRate, double freq, double depth, double rate, double seconds) {
  CPhaser phaser;
  phaser.setFreq(freq);
  phaser.setDepth(depth);
  phaser.setRate(rate);
  phaser.reset(sampleRate);
  Observed seen;
  double lastPhase = 0.0;
  const long frames = std::lround(seconds * sampleRate);
  for (long i = 0; i < frames; ++i) {
    phaser.process(1e-3, 1e-3);
    // The smoothers start from the defaults; the first sweep shows their glide.
    if (i > frames / 4) {
      const double hz = phaser.getAllPassR().getfr() * CAllPass6::kHzPerNormalised;
      seen.lowestHz = std::min(seen.lowestHz, hz);
      seen.highestHz = std::max(seen.highestHz, hz);
    }
    const double phase = phaser.getOscillator().getPhase();
    if (phase < lastPhase - 1.0) seen.wraps.push_back(i);
    lastPhase = phase;
  }
  return seen;
}

TEST(PhaserLaws, TheSweepRunsWhereAndAsFastAsTheLawsSay) {
  // One step of the sweep's table, as a ratio of frequencies.
  const double tableStep = 1.0048168;
  for (double sampleRate : {22050.0, 44100.0, 48000.0, 96000.0}) {
    const std::tuple<double, double, double> kSettings[] = {
        {0.0, 1.0, 0.6}, {0.3, 0.5, 0.7}, {0.55, 0.8, 0.5}, {0.2, 0.3, 0.75}};
    for (const auto& [freq, depth, rate] : kSettings) {
      const double seconds = CPhaser::sweepSeconds(rate);
      const Observed seen = Watch(sampleRate, freq, depth, rate, 4.5 * seconds);
      SCOPED_TRACE(testing::Message() << sampleRate << " Hz, Freq " << freq << ", Depth " << depth
                                      << ", Rate " << rate);
      const double bottom = CPhaser::sweepBottomHz(freq, sampleRate);
      const double top = CPhaser::sweepTopHz(freq, depth, sampleRate);
      // The phase steps past the very bottom and top, by at most two
      // entries at these speeds.
      EXPECT_GE(seen.lowestHz, bottom * (1.0 - 1e-9));
      EXPECT_LE(seen.lowestHz, bottom * tableStep * tableStep);
      EXPECT_LE(seen.highestHz, top * (1.0 + 1e-9));
      EXPECT_GE(seen.highestHz, top / (tableStep * tableStep));
      ASSERT_GE(seen.wraps.size(), 3u);
      for (size_t k = 1; k < seen.wraps.size(); ++k) {
        const double measured = static_cast<double>(seen.wraps[k] - seen.wraps[k - 1]) / sampleRate;
        // Within one control update of 8 frames.
        EXPECT_NEAR(measured, seconds, 8.0 / sampleRate);
      }
    }
  }
}

TEST(PhaserLaws, RateZeroStandsTheSweepStill) {
  EXPECT_TRUE(std::isinf(CPhaser::sweepSeconds(0.0)));
  const Observed seen = Watch(44100.0, 0.3, 1.0, 0.0, 2.0);
  EXPECT_TRUE(seen.wraps.empty());
  EXPECT_EQ(seen.lowestHz, seen.highestHz);
}

}  // namespace
