#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "counted_deletes.h"
#include "framework/editor/BitmapStorage.h"
#include "framework/editor/FontStorage.h"

// Resource bitmaps are shared by every editor of the process: only a bitmap
// made at run time may go, and nothing held twice may be freed twice.
TEST(BitmapStorageTest, FindsFirstRefusesDuplicatesAndRemovesOnlyRunTimeBitmaps) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<BitmapStorage>();
  auto* first = new CountedBitmap(&deletions);
  auto* second = new CountedBitmap(&deletions);
  auto* made = new CountedBitmap(&deletions);
  auto* madeToo = new CountedBitmap(&deletions);
  EXPECT_TRUE(storage->Add(first, 5));
  EXPECT_TRUE(storage->Add(second, 5));
  EXPECT_TRUE(storage->Add(made));
  EXPECT_TRUE(storage->Add(madeToo));
  EXPECT_EQ(storage->Find(5), first);
  EXPECT_EQ(storage->Find(6), nullptr);

  EXPECT_FALSE(storage->Add(first, 7));
  EXPECT_FALSE(storage->Add(made));
  EXPECT_FALSE(storage->Add(nullptr, 8));
  EXPECT_EQ(storage->Find(7), nullptr);

  EXPECT_FALSE(storage->Remove(first));
  EXPECT_EQ(storage->Find(5), first);
  CountedBitmap stranger(&deletions);
  EXPECT_FALSE(storage->Remove(&stranger));
  EXPECT_EQ(deletions.load(), 0);
  EXPECT_TRUE(storage->Remove(made));
  EXPECT_EQ(deletions.load(), 1);
  EXPECT_EQ(storage->Find(BitmapStorage::kRunTimeId), madeToo);
  EXPECT_FALSE(storage->Remove(made));

  storage.reset();
  EXPECT_EQ(deletions.load(), 4);
}

// Colour, alignment and quality are drawing state, not part of the font;
// a size of 0 is a key like any other.
TEST(FontStorageTest, MatchesSizeOrientationStyleAndExactFaceAndRefusesDuplicates) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<FontStorage>();
  const IText key(12, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 90);
  auto* font = new CountedFont(&deletions);
  EXPECT_TRUE(storage->Add(font, &key));
  const IText zero(0);
  auto* zeroFont = new CountedFont(&deletions);
  EXPECT_TRUE(storage->Add(zeroFont, &zero));
  EXPECT_FALSE(storage->Add(font, &zero));
  EXPECT_FALSE(storage->Add(nullptr, &zero));

  const IText sameFont(12, &COLOR_RED, "Monaco", IText::kStyleBold, IText::kAlignFar, 90,
                       IText::kQualityAntiAliased);
  EXPECT_EQ(storage->Find(&sameFont), font);
  EXPECT_EQ(storage->Find(&zero), zeroFont);
  const IText others[] = {IText(13, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 90),
                          IText(12, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 0),
                          IText(12, nullptr, "Monaco", IText::kStyleItalic, IText::kAlignNear, 90),
                          IText(12, nullptr, "monaco", IText::kStyleBold, IText::kAlignNear, 90),
                          IText(12, nullptr, "Monaco2", IText::kStyleBold, IText::kAlignNear, 90)};
  for (const IText& text : others)
    EXPECT_EQ(storage->Find(&text), nullptr) << text.mFont << " " << text.mSize;

  storage.reset();
  EXPECT_EQ(deletions.load(), 2);
}
