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

// Callers append a little at a time (chunks, strings): growth must be
// amortised, and always leave room for what was asked.
TEST(HeapBufTest, GrowingByteByByteReallocatesRarely) {
  for (int granularity : {4096, 128, 1}) {
    WDL_HeapBuf buf(granularity);
    void* last = nullptr;
    int moves = 0;
    for (int size = 1; size <= 200000; ++size) {
      void* now = buf.Resize(size);
      ASSERT_NE(now, nullptr);
      ASSERT_GE(buf.GetAllocatedSize(), size);
      moves += now != last;
      last = now;
    }
    EXPECT_LT(moves, 40) << granularity;
  }
}

// Shrinking keeps the memory for reuse unless asked to give it back, and
// even then only when much of it would lie idle.
TEST(HeapBufTest, ShrinkingGivesMemoryBackOnlyWhenAskedAndWorthIt) {
  WDL_HeapBuf buf;
  void* first = buf.Resize(100000);
  memset(first, 0x5A, 100000);
  const int allocated = buf.GetAllocatedSize();
  EXPECT_EQ(buf.Resize(90000, true), first);  // a small shrink is not worth a move
  EXPECT_EQ(buf.GetAllocatedSize(), allocated);
  EXPECT_EQ(buf.Resize(0, false), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.Resize(-5, false), nullptr);  // a negative size counts as 0
  EXPECT_EQ(buf.GetAllocatedSize(), allocated);
  EXPECT_EQ(buf.Resize(100000, false), first);  // reused in place
  EXPECT_EQ(static_cast<unsigned char*>(first)[99999], 0x5A);

  unsigned char* kept = static_cast<unsigned char*>(buf.Resize(1000, true));
  EXPECT_LT(buf.GetAllocatedSize(), allocated / 2);
  EXPECT_EQ(buf.GetSize(), 1000);
  EXPECT_EQ(kept[999], 0x5A);
  EXPECT_EQ(buf.Resize(0, true), nullptr);
  EXPECT_EQ(buf.GetAllocatedSize(), 0);
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
  const int allocated = buf.GetAllocatedSize();
  EXPECT_EQ(buf.Resize(INT_MAX - 10), before);
  EXPECT_EQ(buf.GetSize(), 64);
  EXPECT_EQ(buf.GetAllocatedSize(), allocated);
  EXPECT_EQ(buf.ResizeOK(INT_MAX - 10), nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(buf.Get())[63], 1);
}
