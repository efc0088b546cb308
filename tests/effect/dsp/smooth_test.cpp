#include "effect/dsp/CSmooth.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SmoothTest, ApproachesTargetGeometrically) {
  CSmooth s;
  EXPECT_NEAR(s.process(1.0), 0.01, 1e-15);
  for (int i = 1; i < 100; ++i)
    s.process(1.0);
  EXPECT_NEAR(s.getState(), 0.634, 5e-4);

  // From any start, n steps toward T leave T + (s0 − T) × 0.99^n.
  const double start = s.getState();
  for (int i = 0; i < 37; ++i)
    s.process(-2.5);
  EXPECT_NEAR(s.getState(), -2.5 + (start + 2.5) * std::pow(0.99, 37), 1e-12);
}

// Gliding to zero by 0.99 ends on the smallest denormal for good unless the
// state is flushed; flushing must leave audible values alone.
TEST(SmoothTest, FlushKeepsAGlideToZeroOutOfDenormalRange) {
  CSmooth plain, flushed;
  plain.process(1.0);
  flushed.process(1.0);
  for (int i = 0; i < 100000; ++i) {
    plain.process(0.0);
    flushed.process(0.0);
    if (i % 8 == 0) flushed.flushTiny();
    ASSERT_NE(std::fpclassify(flushed.getState()), FP_SUBNORMAL) << "step " << i;
  }
  EXPECT_EQ(std::fpclassify(plain.getState()), FP_SUBNORMAL);
  EXPECT_EQ(flushed.getState(), 0.0);

  CSmooth audible;
  audible.process(1e-12);
  const double before = audible.getState();
  audible.flushTiny();
  EXPECT_EQ(audible.getState(), before);
}
