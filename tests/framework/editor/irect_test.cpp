#include "framework/editor/IRECT.h"

#include <gtest/gtest.h>

#include "framework/editor/IBitmap.h"

TEST(IRECTTest, OnlyTheZeroRectangleIsEmptyAndContainsNothing) {
  EXPECT_FALSE(IRECT().Contains(0, 0));
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Empty());
  const IRECT r(10, 20, 30, 40);
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_FALSE(r.Contains(30, 39));
  EXPECT_FALSE(r.Contains(29, 40));
}

// A dirty area that starts where a control ends still redraws that control;
// the rule is one-sided, so the reverse query does not hold.
TEST(IRECTTest, IntersectsCountsTouchingAlongRightAndBottomEdgesOnly) {
  const IRECT a(0, 0, 10, 10);
  const IRECT rightNeighbour(10, 0, 20, 10);
  const IRECT belowNeighbour(0, 10, 10, 20);
  EXPECT_TRUE(a.Intersects(rightNeighbour));
  EXPECT_TRUE(a.Intersects(belowNeighbour));
  EXPECT_FALSE(rightNeighbour.Intersects(a));
  EXPECT_FALSE(belowNeighbour.Intersects(a));
  EXPECT_FALSE(IRECT().Intersects(a));

  EXPECT_EQ(a.Intersect(IRECT(5, -5, 15, 7)), IRECT(5, 0, 10, 7));
  EXPECT_EQ(a.Intersect(rightNeighbour), IRECT(10, 0, 10, 10));
  EXPECT_TRUE(rightNeighbour.Intersect(a).Empty());
}

// Dirty areas accumulate from an empty start: an empty operand must not pull
// the union towards the origin.
TEST(IRECTTest, UnionIgnoresAnEmptyOperand) {
  const IRECT r(10, 20, 30, 40);
  EXPECT_EQ(IRECT().Union(r), r);
  EXPECT_EQ(r.Union(IRECT()), r);
  EXPECT_EQ(r.Union(IRECT(-5, 25, 12, 50)), IRECT(-5, 20, 30, 50));
}

TEST(IRECTTest, SubRectsAreIntegerSlices) {
  const IRECT r(10, 20, 20, 27);  // 10 wide, 7 high
  EXPECT_EQ(r.SubRectHorizontal(3, 2), IRECT(16, 20, 19, 27));
  EXPECT_EQ(r.SubRectVertical(2, 1), IRECT(10, 23, 20, 26));
  EXPECT_EQ(r.SubRectVertical(0, 0), r);
  EXPECT_EQ(r.SubRectHorizontal(-1, 0), r);
}

TEST(IRECTTest, BitmapRectIsOneFrameOfTheStrip) {
  const IBitmap stacked(nullptr, 30, 120, 4, false);
  EXPECT_EQ(IRECT(5, 6, &stacked), IRECT(5, 6, 35, 36));
  const IBitmap sideBySide(nullptr, 120, 30, 4, true);
  EXPECT_EQ(IRECT(5, 6, &sideBySide), IRECT(5, 6, 35, 36));

  // No frames is one frame, also when N is overwritten after construction.
  const IBitmap noFrames(nullptr, 30, 120, 0, false);
  EXPECT_EQ(noFrames.N, 1);
  EXPECT_EQ(IRECT(0, 0, &noFrames), IRECT(0, 0, 30, 120));
  IBitmap zeroed(nullptr, 120, 30, 4, true);
  zeroed.N = 0;
  EXPECT_EQ(IRECT(0, 0, &zeroed), IRECT(0, 0, 120, 30));

  EXPECT_EQ(IRECT(7, 8, nullptr), IRECT(7, 8, 7, 8));
}
