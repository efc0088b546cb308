#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"

namespace {

bool rowsAligned(const LICE_IBitmap& bm) {
  return reinterpret_cast<uintptr_t>(bm.getBits()) % 64 == 0 && (bm.getRowSpan() * 4) % 4 == 0;
}

// Writes every pixel of every row through the row span, so that the address
// sanitizer sees any storage smaller than the bitmap claims.
void touchAll(LICE_IBitmap& bm) {
  LICE_pixel* p = bm.getBits();
  for (int y = 0; y < bm.getHeight(); ++y) {
    for (int x = 0; x < bm.getRowSpan(); ++x)
      p[static_cast<size_t>(y) * bm.getRowSpan() + x] = 0x01020304u;
  }
}

}  // namespace

TEST(MemBitmapTest, RowSpanFollowsLineAlignment) {
  LICE_MemBitmap bm(10, 3, 4);
  EXPECT_EQ(bm.getWidth(), 10);
  EXPECT_EQ(bm.getHeight(), 3);
  EXPECT_EQ(bm.getRowSpan(), 12);
  EXPECT_FALSE(bm.isFlipped());
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_EQ(bm.Extended(1, nullptr), 0);
  touchAll(bm);

  EXPECT_EQ(LICE_MemBitmap(10, 3, 0).getRowSpan(), 10);
  EXPECT_EQ(LICE_MemBitmap(10, 3, 1).getRowSpan(), 10);
  EXPECT_EQ(LICE_MemBitmap(10, 3, 6).getRowSpan(), 10);  // lowest set bit 2
  EXPECT_EQ(LICE_MemBitmap(10, 3, 12).getRowSpan(), 12);
  EXPECT_EQ(LICE_MemBitmap(10, 3, 16).getRowSpan(), 16);
  // Wide alignments stop at 64 pixels.
  EXPECT_EQ(LICE_MemBitmap(10, 3, 1u << 20).getRowSpan(), 64);
  EXPECT_EQ(LICE_MemBitmap(65, 1, 1u << 31).getRowSpan(), 128);
}

TEST(MemBitmapTest, ResizeToNothingFreesTheStorage) {
  LICE_MemBitmap bm(10, 3, 4);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_TRUE(bm.resize(0, 5));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 5);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getAllocatedSize(), 0u);
  EXPECT_FALSE(bm.resize(0, 5));

  LICE_MemBitmap empty;
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getWidth(), 0);
  // A negative size counts as none.
  EXPECT_TRUE(empty.resize(-4, 7));
  EXPECT_EQ(empty.getWidth(), 0);
  EXPECT_EQ(empty.getBits(), nullptr);
}

TEST(MemBitmapTest, GrowthReservesAQuarterAndNeverShrinks) {
  LICE_MemBitmap bm(0, 0, 4);
  EXPECT_TRUE(bm.resize(8, 8));
  EXPECT_EQ(bm.getAllocatedSize(), 8u * 8 * 4);  // first allocation: exact
  EXPECT_TRUE(rowsAligned(bm));
  EXPECT_FALSE(bm.resize(8, 8));

  EXPECT_TRUE(bm.resize(8, 10));
  EXPECT_EQ(bm.getAllocatedSize(), 320u + 80u);  // grown: a quarter more
  touchAll(bm);
  EXPECT_TRUE(bm.resize(8, 12));  // 384 bytes still fit
  EXPECT_EQ(bm.getAllocatedSize(), 400u);
  EXPECT_TRUE(bm.resize(4, 4));
  EXPECT_EQ(bm.getAllocatedSize(), 400u);
  EXPECT_TRUE(rowsAligned(bm));
  touchAll(bm);
}

TEST(MemBitmapTest, ContentsSurviveGrowthAtTheSameOffsets) {
  LICE_MemBitmap bm(16, 16, 4);
  LICE_pixel* p = bm.getBits();
  for (int i = 0; i < 256; ++i)
    p[i] = 0x9E3779B9u * static_cast<LICE_pixel>(i + 1);
  // Grow a few times so that the block moves and its alignment slack
  // changes; the kept bytes must stay where getBits() says.
  for (int rows = 17; rows < 400; rows += 37) {
    ASSERT_TRUE(bm.resize(16, rows));
    ASSERT_TRUE(rowsAligned(bm));
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(bm.getBits()[i], 0x9E3779B9u * static_cast<LICE_pixel>(i + 1)) << rows;
    }
  }
}

TEST(MemBitmapTest, SizeBeyondTheAddressableRangeFailsCleanly) {
  LICE_MemBitmap bm(4, 4, 4);
  EXPECT_TRUE(bm.resize(INT_MAX, INT_MAX));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_TRUE(bm.resize(3, 3));
  ASSERT_NE(bm.getBits(), nullptr);
  touchAll(bm);
}

TEST(SysBitmapTest, StorageOnlyGrowsAndKeepsItsRowSpan) {
  LICE_SysBitmap bm(100, 100);
  ASSERT_NE(bm.getBits(), nullptr);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getRowSpan(), 100);
  LICE_pixel* bits = bm.getBits();
  HDC dc = bm.getDC();

  EXPECT_TRUE(bm.resize(50, 50));
  EXPECT_EQ(bm.getWidth(), 50);
  EXPECT_EQ(bm.getHeight(), 50);
  EXPECT_EQ(bm.getRowSpan(), 100);
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.getDC(), dc);
  EXPECT_FALSE(bm.resize(50, 50));

  // Growing past the storage makes a new context with the width rounded up
  // to four pixels.
  EXPECT_TRUE(bm.resize(101, 20));
  EXPECT_EQ(bm.getRowSpan(), 104);
  EXPECT_NE(bm.getDC(), nullptr);
  touchAll(bm);

  // Nothing to hold: the context goes and the call reports false.
  EXPECT_FALSE(bm.resize(0, 20));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_TRUE(bm.resize(7, 3));
  EXPECT_EQ(bm.getRowSpan(), 8);
  touchAll(bm);
}

TEST(SysBitmapTest, NewPixelsAreClearAndFailuresLeaveNothing) {
  LICE_SysBitmap bm(5, 3);
  for (int i = 0; i < bm.getRowSpan() * bm.getHeight(); ++i)
    ASSERT_EQ(bm.getBits()[i], 0u);

  LICE_SysBitmap none;
  EXPECT_EQ(none.getBits(), nullptr);
  EXPECT_EQ(none.getWidth(), 0);

  EXPECT_TRUE(bm.resize(INT_MAX, 2));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
}
