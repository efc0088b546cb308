#include "framework/window/gdi/MemContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(MemContextTest, FrameBufferHoldsRowsRoundedToFourPixels) {
  for (int width : {1, 3, 4, 5, 101}) {
    HDC ctx = SWELL_CreateMemContext(nullptr, width, 7);
    ASSERT_NE(ctx, nullptr) << width;
    auto* bits = static_cast<uint32_t*>(SWELL_GetCtxFrameBuffer(ctx));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bits) % 16, 0u);
    const int span = (width + 3) / 4 * 4;
    // Starts clear, and every word of every padded row is writable (the
    // address sanitizer checks the extent).
    for (int i = 0; i < span * 7; ++i)
      ASSERT_EQ(bits[i], 0u);
    for (int i = 0; i < span * 7; ++i)
      bits[i] = 0xFFFFFFFFu;
    SWELL_DeleteGfxContext(ctx);
  }
}

TEST(MemContextTest, RefusesSizesItCannotHold) {
  HDC reference = SWELL_CreateMemContext(nullptr, 2, 2);
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(reference, 0, 5), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(reference, 5, 0), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, -1, 5), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, INT_MAX, 1), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, INT_MAX, INT_MAX), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 30000, 30000), nullptr);
  HDC other = SWELL_CreateMemContext(reference, 3, 3);
  EXPECT_NE(other, nullptr);
  EXPECT_NE(SWELL_GetCtxFrameBuffer(other), SWELL_GetCtxFrameBuffer(reference));
  SWELL_DeleteGfxContext(other);
  SWELL_DeleteGfxContext(reference);
  // Null handles are ignored.
  EXPECT_EQ(SWELL_GetCtxFrameBuffer(nullptr), nullptr);
  SWELL_DeleteGfxContext(nullptr);
}
