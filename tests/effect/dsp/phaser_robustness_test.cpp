#include "effect/dsp/CPhaser.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/effect/dsp/EngineSettings.h"
#include "tests/effect/dsp/InstructionSets.h"
#include "tests/effect/dsp/RandomControl.h"
#include "tests/effect/dsp/ReferencePhaser.h"
#include "tests/effect/dsp/TestSignals.h"

namespace {

// The factory sounds and the two corners with the longest ringing.
const EngineSettings kSettings[] = {
    kClassicVirus,
    {0.5, 0, 0.22, 0.64, 1.0, 0.47, 0.72},
    kTwin,
    {0.5, 2, 0.38, 0.82, 0.41, 0.54, 0.35},
    {0.5, 4, 0.58, 0.91, 1.0, 0.25, 0.35},
    kHexagon,
    {1.0, 5, 0.0, 1.0, 0.0, 0.0, 0.0},
    {1.0, 5, 0.0, 0.0, 0.0, 0.29, 1.0},
};

bool sameAboveFlush(double a, double b) {
  return a == b || std::fabs(a - b) < 1e-200;
}

bool subnormal(double v) {
  return std::fpclassify(v) == FP_SUBNORMAL;
}

void matchPlainLaw(InstructionSet set) {
  CPhaser engine;
  ReferencePhaser law;
  engine.setInstructionSet(set);
  law.setInstructionSet(set);
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> sample(-2.0, 2.0);
  long compared = 0;
  for (int round = 0; round < 400; ++round) {
    for (int op = static_cast<int>(rng() % 4); op > 0; --op) {
      if (rng() % 9 == 0) {
        engine.calc(), law.calc();
      } else {
        randomControl(rng, engine, law);
      }
    }
    // Stretches of zeros long enough for a tail to ring out and the silence
    // shortcut to take over, and of anti-phase stereo, which it must not take.
    const unsigned kind = rng() % 8;
    const int frames = static_cast<int>(rng() % (kind == 0 ? 30000 : 300));
    for (int i = 0; i < frames; ++i) {
      double l = sample(rng), r = sample(rng);
      if (kind == 0) l = r = 0.0;
      if (kind == 1) r = -l;
      if (rng() % 1000 == 0) l = rng() % 2 ? CPhaser::kMaxInput : -CPhaser::kMaxInput;
      engine.process(l, r);
      law.process(l, r);
      if (!sameAboveFlush(engine.getOutL(), law.outL) ||
          !sameAboveFlush(engine.getOutR(), law.outR)) {
        ADD_FAILURE() << "round " << round << " frame " << i << ": " << engine.getOutL() << " "
                      << engine.getOutR() << " against " << law.outL << " " << law.outR;
        return;
      }
      ++compared;
    }
  }
  EXPECT_GT(compared, 50000);
}

}  // namespace

// Everything the setters, reset and the silence shortcut allow, in random
// order, against the law applied in place: the threading scheme, the
// per-frame dispatch and the guards must not change a single bit of any
// value above the denormal flush (a tail left ringing on one chain while the
// other keeps the engine running decays that far).
TEST(PhaserRobustnessTest, OrdinaryInputMatchesThePlainLawBitForBit) {
  for (InstructionSet set : availableInstructionSets()) {
    SCOPED_TRACE(nameOf(set));
    matchPlainLaw(set);
  }
}

// NaN, infinities and absurd values are faults upstream: the engine runs
// exactly as if it had been given silence in their place, so outputs stay
// finite and within ±1 and nothing of the fault lingers afterwards.
TEST(PhaserRobustnessTest, FaultySamplesCountAsSilence) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double faults[] = {nan, -nan, inf, -inf, 1e30, -1e30, DBL_MAX, CPhaser::kMaxInput * 1.01};
  std::mt19937 rng(32);
  for (const EngineSettings& s : kSettings) {
    CPhaser engine;
    ReferencePhaser law;
    apply(engine, s);
    apply(law, s);
    const std::vector<double> l = noise(3 * 44100, 33), r = noise(3 * 44100, 34);
    for (size_t i = 0; i < l.size(); ++i) {
      double fl = l[i], fr = r[i], zl = l[i], zr = r[i];
      // Bursts of faults on one or both channels.
      if (i % 20000 < 50) {
        if (rng() % 2) fl = faults[rng() % 8], zl = 0.0;
        if (rng() % 3 == 0) fr = faults[rng() % 8], zr = 0.0;
      }
      engine.process(fl, fr);
      law.process(zl, zr);
      ASSERT_TRUE(std::fabs(engine.getOutL()) <= 1.0 && std::fabs(engine.getOutR()) <= 1.0)
          << "frame " << i;
      ASSERT_EQ(engine.getOutL(), law.outL) << "frame " << i;
      ASSERT_EQ(engine.getOutR(), law.outR) << "frame " << i;
    }
  }
}

// A feedback setting beyond its range makes the loop unstable; the chains
// must neither lock up on an overflow nor stay wrecked once it is back.
TEST(PhaserRobustnessTest, UnstableFeedbackCannotLockTheEngineUp) {
  CPhaser p;
  p.setStages(5);
  p.setFeedback(2.0);
  const std::vector<double> l = noise(44100, 35, 0.25), r = noise(44100, 36, 0.25);
  for (size_t i = 0; i < l.size(); ++i) {
    p.process(l[i], r[i]);
    ASSERT_TRUE(std::fabs(p.getOutL()) <= 1.0 && std::fabs(p.getOutR()) <= 1.0) << i;
    ASSERT_LE(std::fabs(p.getAllPassL().getOut()), CAllPass6::kBlowUp);
  }
  p.setFeedback(0.5);
  int clipped = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    p.process(l[i], r[i]);
    if (i > l.size() / 2) clipped += std::fabs(p.getOutL()) == 1.0 || std::fabs(p.getOutR()) == 1.0;
  }
  EXPECT_EQ(clipped, 0);
  EXPECT_LT(std::fabs(p.getAllPassL().getOut()), 10.0);
}

// The left chain rings out on silence while the right one keeps the engine
// running, and the feedback smoothers glide to a zero target: none of it
// may end in denormal numbers.
TEST(PhaserRobustnessTest, DecayingTailsNeverTurnDenormal) {
  CPhaser p;
  p.setStages(5);
  p.setFreq(0.3);
  p.setFeedback(0.5);
  const std::vector<double> r = noise(300000, 37);
  for (int i = 0; i < 300000; ++i) {
    p.process(i < 1000 ? r[(i * 7) % 1000] : 0.0, r[i]);
    if (i % 97 != 0) continue;
    const CAllPass6& c = p.getAllPassL();
    bool any = subnormal(c.getIn()) || subnormal(c.getOut()) ||
               subnormal(p.getSmoothFbL().getState()) || subnormal(p.getSmoothFbR().getState());
    for (int k = 0; k < 6; ++k) {
      const CAllPass6::Section& s = c.getSection(k);
      any = any || subnormal(s.x1) || subnormal(s.x2) || subnormal(s.y1) || subnormal(s.y2);
    }
    ASSERT_FALSE(any) << "frame " << i;
  }
  EXPECT_EQ(p.getAllPassL().getOut(), 0.0);
  EXPECT_EQ(p.getAllPassL().getSection(5).y2, 0.0);
  EXPECT_EQ(p.getSmoothFbL().getState(), 0.0);
}
