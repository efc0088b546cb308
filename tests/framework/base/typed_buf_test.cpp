#include "framework/base/WDL_TypedBuf.h"

#include <gtest/gtest.h>

TEST(TypedBufTest, CountsElementsNotBytes) {
  WDL_TypedBuf<double> buf;
  EXPECT_EQ(buf.Get(), nullptr);
  ASSERT_NE(buf.Resize(10), nullptr);
  EXPECT_EQ(buf.GetSize(), 10);
  EXPECT_EQ(buf.GetHeapBuf()->GetSize(), 80);
}

TEST(TypedBufTest, InsertShiftsLaterElementsAndReturnsNewOne) {
  WDL_TypedBuf<int> buf;
  buf.Add(1);
  buf.Add(3);
  int* inserted = buf.Insert(2, 1);
  ASSERT_NE(inserted, nullptr);
  EXPECT_EQ(*inserted, 2);
  ASSERT_EQ(buf.GetSize(), 3);
  EXPECT_EQ(buf.Get()[0], 1);
  EXPECT_EQ(buf.Get()[1], 2);
  EXPECT_EQ(buf.Get()[2], 3);
  EXPECT_NE(buf.Insert(0, 0), nullptr);
  EXPECT_EQ(buf.Get()[0], 0);
}

TEST(TypedBufTest, InsertOutsideRangeDoesNothing) {
  WDL_TypedBuf<int> buf;
  buf.Add(7);
  EXPECT_EQ(buf.Insert(9, 2), nullptr);  // count + 1
  EXPECT_EQ(buf.Insert(9, -1), nullptr);
  EXPECT_EQ(buf.GetSize(), 1);
}

TEST(TypedBufTest, InsertingAnElementOfItselfSurvivesGrowth) {
  WDL_TypedBuf<int> buf;
  for (int i = 0; i < 1000; ++i)
    buf.Add(i);
  ASSERT_EQ(buf.GetHeapBuf()->GetAllocatedSize(), 4000);
  // The next insert outgrows the block; the item refers into the old one
  // (which the address sanitizer's realloc always moves).
  buf.Add(buf.Get()[500]);
  EXPECT_EQ(buf.Get()[1000], 500);
}

TEST(TypedBufTest, OversizedCountFailsWithoutChange) {
  WDL_TypedBuf<double> buf;
  buf.Resize(4);
  EXPECT_EQ(buf.ResizeOK(0x7FFFFFFF / 4), nullptr);
  EXPECT_EQ(buf.GetSize(), 4);
}
