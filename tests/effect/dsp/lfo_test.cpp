#include "effect/dsp/CLfo.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LfoTest, TablesHoldTheExponentialAndARisingRateCurve) {
  CLfo lfo;
  EXPECT_EQ(lfo.getExpEntry(0), 1.0048168);
  EXPECT_NEAR(lfo.getExpEntry(1359), 688.92, 0.01);
  for (int i = 1; i < CLfo::kExpSize; ++i) {
    ASSERT_NEAR(lfo.getExpEntry(i) / lfo.getExpEntry(i - 1), 1.0048168, 1e-12) << i;
  }
  EXPECT_EQ(lfo.getRateEntry(0), 0.0);
  EXPECT_EQ(lfo.getRateEntry(127), 1.0);
  for (int i = 1; i < CLfo::kRateSize; ++i) {
    ASSERT_GT(lfo.getRateEntry(i), lfo.getRateEntry(i - 1)) << i;
  }
}

TEST(LfoTest, RateIndexTruncatesAndSetsThePhaseStep) {
  CLfo lfo;
  lfo.setLfo(0.0, 1.0, 1.0);
  EXPECT_EQ(lfo.getRate(), 1.0);
  EXPECT_DOUBLE_EQ(lfo.getInc(), 900.0 / 44100.0);
  lfo.setLfo(0.0, 1.0, 0.9999);
  EXPECT_EQ(lfo.getRate(), lfo.getRateEntry(126));
  lfo.setLfo(0.0, 1.0, 0.3);
  EXPECT_EQ(lfo.getRate(), lfo.getRateEntry(38));

  // Below 1/127 the rate is 0 and the oscillator stands still.
  lfo.setLfo(0.0, 1.0, 1.0 / 127.0 - 1e-9);
  EXPECT_EQ(lfo.getInc(), 0.0);
  const double held = lfo.nextLfo();
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(lfo.nextLfo(), held);
}

TEST(LfoTest, PhaseRunsAsATriangleOverTheSpan) {
  CLfo lfo;
  // The constructor leaves the phase at 1, so the first step wraps to the top.
  lfo.setLfo(0.0, 1.0, 1.0);
  const double inc = lfo.getInc();
  const double first = lfo.nextLfo();
  EXPECT_DOUBLE_EQ(lfo.getPhase(), -1.0 + inc);
  EXPECT_EQ(first, lfo.getExpEntry(static_cast<int>(std::fabs(lfo.getPhase()) * 1359.0)));

  // After a reset it starts at the bottom, rises to about 688.92 and comes
  // back within one period of 2 / inc steps; the reset keeps the speed.
  lfo.setLfo(0.0, 1.0, 0.5);
  const double slowInc = lfo.getInc();
  lfo.reset(44100.0);
  EXPECT_EQ(lfo.getPhase(), 0.0);
  EXPECT_DOUBLE_EQ(lfo.getInc(), slowInc);
  const int period = static_cast<int>(std::ceil(2.0 / slowInc));
  double lowest = 1e9, highest = 0.0;
  int peakStep = -1;
  for (int i = 0; i < period; ++i) {
    const double v = lfo.nextLfo();
    lowest = std::min(lowest, v);
    if (v > highest) {
      highest = v;
      peakStep = i;
    }
  }
  EXPECT_EQ(lowest, lfo.getExpEntry(0));
  EXPECT_GE(highest, lfo.getExpEntry(1358));
  EXPECT_NEAR(peakStep, period / 2, 8);
  EXPECT_LT(lfo.getPhase(), 1.0);
  EXPECT_GE(lfo.getPhase(), -1.0);

  // Half the span at depth 0.5 and freqShape 0; none at depth 0 or freqShape 1.
  lfo.setLfo(0.0, 0.5, 0.5);
  double top = 0.0;
  for (int i = 0; i < period; ++i)
    top = std::max(top, lfo.nextLfo());
  EXPECT_EQ(top, lfo.getExpEntry(679));
  for (auto [shape, depth] : {std::pair{0.0, 0.0}, std::pair{1.0, 1.0}}) {
    lfo.setLfo(shape, depth, 0.5);
    for (int i = 0; i < period; ++i)
      ASSERT_EQ(lfo.nextLfo(), 1.0048168);
  }
}

// Settings outside [0, 1] or a sample rate too low for the wrap to hold the
// phase must still read inside the tables (the sanitizer build checks it).
TEST(LfoTest, OutOfRangeInputsStayInsideTheTables) {
  CLfo lfo;
  const double lowest = lfo.getExpEntry(0), highest = lfo.getExpEntry(1359);
  lfo.setLfo(-0.5, 2.0, 1.7);
  EXPECT_EQ(lfo.getRate(), 1.0);
  lfo.reset(100.0);  // a phase step of 9 per call
  for (int i = 0; i < 1000; ++i) {
    const double v = lfo.nextLfo();
    ASSERT_GE(v, lowest);
    ASSERT_LE(v, highest);
  }
  lfo.setLfo(0.0, -1.0, -3.0);
  EXPECT_EQ(lfo.getRate(), 0.0);
  EXPECT_EQ(lfo.nextLfo(), lowest);
}
