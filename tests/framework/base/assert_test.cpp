#include "framework/base/MorvexAssert.h"

#include <gtest/gtest.h>

namespace {
int CheckedHalf(int n) {
  MORVEX_ASSERT(n % 2 == 0 && n >= 0);
  return n / 2;
}
}  // namespace

TEST(MorvexAssertDeathTest, PassingConditionReturnsAndFailingOneStopsNamingIt) {
  EXPECT_EQ(CheckedHalf(8), 4);
  EXPECT_DEATH(CheckedHalf(7),
               "Assertion failed: n % 2 == 0 && n >= 0 \\(.*assert_test.cpp:[0-9]+\\)");
}

#ifdef NDEBUG
// The Release build is where <cassert> would have been silent.
TEST(MorvexAssertDeathTest, StaysActiveWithNDEBUG) {
  EXPECT_DEATH(CheckedHalf(-2), "n >= 0");
}
#endif
