#include "effect/dsp/CAllPass6.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/effect/dsp/InstructionSets.h"
#include "tests/effect/dsp/TestSignals.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

CAllPass6 tuned(double freq, double q, double sampleRate = 44100.0) {
  CAllPass6 chain;
  chain.reset(sampleRate);
  chain.calcCoeff(freq, q, 1.0);
  return chain;
}

bool allStateZero(const CAllPass6& c) {
  if (c.getIn() != 0.0 || c.getOut() != 0.0) return false;
  for (int i = 0; i < 6; ++i) {
    const CAllPass6::Section& s = c.getSection(i);
    if (s.x1 != 0.0 || s.x2 != 0.0 || s.y1 != 0.0 || s.y2 != 0.0) return false;
  }
  return true;
}

}  // namespace

TEST(AllPass6Test, FrequencyIsClampedAndIndependentOfSampleRateInHz) {
  CAllPass6 c;
  c.calcCoeff(0.001, 1.0, 1.0);
  EXPECT_EQ(c.getfr(), 0.0015);
  c.calcCoeff(0.5, 1.0, 3.0);
  EXPECT_EQ(c.getfr(), 0.982);
  c.calcCoeff(0.1, 1.0, 2.0);
  EXPECT_DOUBLE_EQ(c.getfr(), 0.2);
  // f × 22050 Hz at every rate: π f at 44.1 kHz, half that angle at 88.2 kHz.
  EXPECT_NEAR(c.getW(), kPi * 0.2, 1e-12);
  c.reset(88200.0);
  c.calcCoeff(0.1, 1.0, 2.0);
  EXPECT_NEAR(c.getW(), kPi * 0.1, 1e-12);
}

TEST(AllPass6Test, StageSettingSelectsSectionCount) {
  const int settings[] = {0, 1, 2, 3, 4, 5, 9, -1};
  const int sections[] = {1, 2, 3, 4, 5, 6, 6, 6};
  const std::vector<double> in = noise(2000, 1);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(CAllPass6::sectionCount(settings[k]), sections[k]);
    // Without feedback a chain of n sections is n one-section chains in a row.
    CAllPass6 chain = tuned(0.2, 0.7);
    std::vector<CAllPass6> singles(sections[k], tuned(0.2, 0.7));
    for (double x : in) {
      double y = x;
      for (CAllPass6& s : singles)
        y = s.process(y, 0, 0.0);
      ASSERT_EQ(chain.process(x, settings[k], 0.0), y) << "setting " << settings[k];
    }
  }
}

TEST(AllPass6Test, SectionsBeyondTheCountStayFrozen) {
  CAllPass6 chain = tuned(0.05, 1.5);
  for (double x : noise(500, 2))
    chain.process(x, 5, 0.3);
  CAllPass6::Section frozen[6];
  for (int i = 0; i < 6; ++i)
    frozen[i] = chain.getSection(i);
  for (double x : noise(500, 3))
    chain.process(x, 1, 0.3);
  EXPECT_NE(chain.getSection(1).y1, frozen[1].y1);
  for (int i = 2; i < 6; ++i) {
    EXPECT_EQ(chain.getSection(i).x1, frozen[i].x1);
    EXPECT_EQ(chain.getSection(i).x2, frozen[i].x2);
    EXPECT_EQ(chain.getSection(i).y1, frozen[i].y1);
    EXPECT_EQ(chain.getSection(i).y2, frozen[i].y2);
  }
  EXPECT_EQ(chain.getOut(), chain.getSection(1).y1);
}

// A sine at the centre frequency comes out inverted at full amplitude, and
// away from the centre the amplitude still stays 1.
TEST(AllPass6Test, SectionIsMinus180DegreesAtCentreWithUnitGain) {
  for (double q : {0.3953, 1.0, 3.8953}) {
    for (double f : {0.01, 0.2, 0.7}) {
      CAllPass6 c = tuned(f, q);
      const double w = c.getW();
      double worst = 0.0;
      for (int n = 0; n < 60000; ++n) {
        const double x = std::sin(w * n);
        const double y = c.process(x, 0, 0.0);
        if (n >= 50000) worst = std::max(worst, std::fabs(y + x));
      }
      EXPECT_LT(worst, 1e-6) << "q " << q << " f " << f;

      CAllPass6 off = tuned(f, q);
      double inEnergy = 0.0, outEnergy = 0.0;
      for (int n = 0; n < 60000; ++n) {
        const double x = std::sin(w * 1.37 * n);
        const double y = off.process(x, 0, 0.0);
        if (n >= 50000) {
          inEnergy += x * x;
          outEnergy += y * y;
        }
      }
      EXPECT_NEAR(outEnergy / inEnergy, 1.0, 1e-3) << "q " << q << " f " << f;
    }
  }
}

// Rounded once with fused multiply-adds, twice without.
TEST(AllPass6Test, FeedbackAddsThePreviousOutput) {
  for (InstructionSet set : availableInstructionSets()) {
    CAllPass6 c = tuned(0.3, 0.9);
    c.setInstructionSet(set);
    const double first = c.process(0.5, 3, -0.94);
    EXPECT_EQ(c.getIn(), 0.5);
    c.process(0.25, 3, -0.94);
    EXPECT_EQ(c.getIn(),
              usesFusedMultiplyAdd(set) ? std::fma(first, -0.94, 0.25) : 0.25 + first * -0.94)
        << nameOf(set);
  }
}

TEST(AllPass6Test, ResetClearsSignalAndCoefficientsButKeepsFrequency) {
  CAllPass6 c = tuned(0.3, 0.9);
  for (double x : noise(100, 4))
    c.process(x, 5, 0.5);
  c.reset(48000.0);
  EXPECT_EQ(c.getfr(), 0.3);
  EXPECT_EQ(c.getSampleRate(), 48000.0);
  EXPECT_EQ(c.getW(), 0.0);
  EXPECT_EQ(c.getA(), 0.0);
  EXPECT_EQ(c.getB(), 0.0);
  EXPECT_TRUE(allStateZero(c));
  c.calcCoeff(0.3, 0.9, 1.0);
  EXPECT_NEAR(c.getW(), 2 * kPi * 22050 * 0.3 / 48000.0, 1e-12);
}

// A NaN, an infinity or an absurd value must not leave the chain ringing on
// it: the chain starts afresh and then behaves exactly like a new one.
TEST(AllPass6Test, NonFiniteOrAbsurdInputClearsTheChain) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {nan, inf, -inf, 1e30, -1e30}) {
    CAllPass6 c = tuned(0.01, 3.8953);
    for (double x : noise(300, 5))
      c.process(x, 5, 0.94);
    EXPECT_EQ(c.process(bad, 5, 0.94), 0.0) << bad;
    EXPECT_TRUE(allStateZero(c)) << bad;
    CAllPass6 fresh = tuned(0.01, 3.8953);
    for (double x : noise(300, 6))
      ASSERT_EQ(c.process(x, 5, 0.94), fresh.process(x, 5, 0.94));
  }
}

TEST(AllPass6Test, FlushKeepsADecayingTailOutOfDenormalRange) {
  CAllPass6 plain = tuned(0.9, 0.3953), flushed = tuned(0.9, 0.3953);
  plain.process(1.0, 5, 0.0);
  flushed.process(1.0, 5, 0.0);
  const double audibleBefore = flushed.getOut();
  flushed.flushTiny();
  EXPECT_EQ(flushed.getOut(), audibleBefore);

  auto subnormals = [](const CAllPass6& c) {
    int n = (std::fpclassify(c.getIn()) == FP_SUBNORMAL) +
            (std::fpclassify(c.getOut()) == FP_SUBNORMAL);
    for (int i = 0; i < 6; ++i) {
      const CAllPass6::Section& s = c.getSection(i);
      for (double v : {s.x1, s.x2, s.y1, s.y2})
        n += std::fpclassify(v) == FP_SUBNORMAL;
    }
    return n;
  };
  bool plainWentDenormal = false;
  for (int i = 0; i < 200000; ++i) {
    plain.process(0.0, 5, 0.0);
    flushed.process(0.0, 5, 0.0);
    if (i % 8 == 7) flushed.flushTiny();
    plainWentDenormal = plainWentDenormal || subnormals(plain) > 0;
    ASSERT_EQ(subnormals(flushed), 0) << "sample " << i;
  }
  EXPECT_TRUE(plainWentDenormal);
  EXPECT_TRUE(allStateZero(flushed));
}
