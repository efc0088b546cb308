#include "framework/base/WDL_HeapBuf.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

TEST(HeapBufTest, NewBufferIsEmpty) {
  WDL_HeapBuf buf;
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.GetAllocatedSize(), 0);
  EXPECT_EQ(buf.Get(), nullptr);
}

TEST(HeapBufTest, GrowthAllocatesPageMultiplesLessHeaderRoom) {
  WDL_HeapBuf small;
  ASSERT_NE(small.Resize(10), nullptr);
  EXPECT_EQ(small.GetSize(), 10);
  EXPECT_EQ(small.GetAllocatedSize(), 4000);

  WDL_HeapBuf large;
  ASSERT_NE(large.Resize(100000), nullptr);
  EXPECT_EQ(large.GetAllocatedSize(), 147360);
}

TEST(HeapBufTest, SmallGranularityAddsGranularityAsHeadroom) {
  WDL_HeapBuf buf(128);
  buf.Resize(11);
  EXPECT_EQ(buf.GetAllocatedSize(), 139);
  buf.Resize(1000);  // half the size exceeds the granularity
  EXPECT_EQ(buf.GetAllocatedSize(), 1500);
}

TEST(HeapBufTest, ShrinkToZeroWithoutResizeDownKeepsMemoryForReuse) {
  WDL_HeapBuf buf;
  void* first = buf.Resize(3000);
  memset(first, 0x5A, 3000);
  EXPECT_EQ(buf.Resize(0, false), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.GetAllocatedSize(), 4000);
  EXPECT_EQ(buf.Resize(4000, false), first);
  EXPECT_EQ(buf.GetAllocatedSize(), 4000);
}

TEST(HeapBufTest, NegativeSizeCountsAsZero) {
  WDL_HeapBuf buf;
  buf.Resize(100);
  EXPECT_EQ(buf.Resize(-5, false), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.GetAllocatedSize(), 4000);
}

TEST(HeapBufTest, ResizeDownGivesMemoryBackOnlyBelowThreshold) {
  WDL_HeapBuf buf;
  buf.Resize(100000);
  ASSERT_EQ(buf.GetAllocatedSize(), 147360);
  // Threshold = min(147360 - 4 * 4096, 147360 / 2) = 73680.
  buf.Resize(80000, true);
  EXPECT_EQ(buf.GetAllocatedSize(), 147360);
  buf.Resize(1000, false);
  EXPECT_EQ(buf.GetAllocatedSize(), 147360);
  buf.Resize(80000, false);
  buf.Resize(1000, true);
  EXPECT_EQ(buf.GetAllocatedSize(), 4000);
  EXPECT_EQ(buf.GetSize(), 1000);
}

TEST(HeapBufTest, ShrinkingToZeroWithResizeDownFreesEverything) {
  WDL_HeapBuf buf;
  buf.Resize(5000);
  EXPECT_EQ(buf.Resize(0, true), nullptr);
  EXPECT_EQ(buf.GetAllocatedSize(), 0);
  EXPECT_EQ(buf.GetGranularity(), 4096);
  EXPECT_NE(buf.Resize(10), nullptr);
}

TEST(HeapBufTest, ContentsSurviveReallocation) {
  WDL_HeapBuf buf;
  auto* bytes = static_cast<unsigned char*>(buf.Resize(3000));
  for (int i = 0; i < 3000; ++i)
    bytes[i] = static_cast<unsigned char>(i * 7);
  bytes = static_cast<unsigned char*>(buf.Resize(500000));
  for (int i = 0; i < 3000; ++i)
    ASSERT_EQ(bytes[i], static_cast<unsigned char>(i * 7)) << i;
}

TEST(HeapBufTest, UnrepresentableSizeFailsWithoutChange) {
  WDL_HeapBuf buf;
  void* before = buf.Resize(64);
  memset(before, 1, 64);
  EXPECT_EQ(buf.Resize(INT_MAX - 10), before);
  EXPECT_EQ(buf.GetSize(), 64);
  EXPECT_EQ(buf.GetAllocatedSize(), 4000);
  EXPECT_EQ(buf.ResizeOK(INT_MAX - 10), nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(buf.Get())[63], 1);
}
