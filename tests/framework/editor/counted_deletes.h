#pragma once

#include <atomic>

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_MemBitmap.h"

// Pixels and fonts that count their own destruction, so a test can tell
// whether a cache freed what it owns exactly once.
class CountedBitmap : public LICE_MemBitmap {
 public:
  explicit CountedBitmap(std::atomic<int>* deletions)
      : LICE_MemBitmap(2, 2), mDeletions(deletions) {}
  ~CountedBitmap() override { ++*mDeletions; }

 private:
  std::atomic<int>* mDeletions;
};

class CountedFont : public LICE_CachedFont {
 public:
  explicit CountedFont(std::atomic<int>* deletions) : mDeletions(deletions) {}
  ~CountedFont() override { ++*mDeletions; }

 private:
  std::atomic<int>* mDeletions;
};
