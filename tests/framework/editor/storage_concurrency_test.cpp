#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "counted_deletes.h"
#include "framework/editor/BitmapStorage.h"
#include "framework/editor/FontStorage.h"

// Editors of several plug-in instances load, retain and release through the
// same caches from their own threads. Each thread must always find exactly
// what it stored, and every bitmap and font must be freed exactly once.
TEST(StorageConcurrencyTest, TwoThreadsAddFindAndRemoveThroughOneCache) {
  constexpr int kPerThread = 300;
  std::atomic<int> bitmapDeletions{0};
  std::atomic<int> fontDeletions{0};
  auto bitmaps = std::make_unique<BitmapStorage>();
  auto fonts = std::make_unique<FontStorage>();
  std::atomic<int> mismatches{0};

  auto work = [&](int thread) {
    for (int i = 0; i < kPerThread; ++i) {
      const int id = thread * kPerThread + i;
      auto* loaded = new CountedBitmap(&bitmapDeletions);
      auto* made = new CountedBitmap(&bitmapDeletions);
      bitmaps->Add(loaded, id);
      bitmaps->Add(made);
      if (bitmaps->Find(id) != loaded) ++mismatches;
      if (!bitmaps->Remove(made)) ++mismatches;

      const IText text(id + 1, nullptr, thread ? "Left" : "Right");
      auto* font = new CountedFont(&fontDeletions);
      fonts->Add(font, &text);
      if (fonts->Find(&text) != font) ++mismatches;
    }
  };
  std::thread other(work, 1);
  work(0);
  other.join();

  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(bitmapDeletions.load(), 2 * kPerThread);
  bitmaps.reset();
  fonts.reset();
  EXPECT_EQ(bitmapDeletions.load(), 4 * kPerThread);
  EXPECT_EQ(fontDeletions.load(), 2 * kPerThread);
}
