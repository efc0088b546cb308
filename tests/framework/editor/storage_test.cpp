#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "counted_deletes.h"
#include "framework/editor/BitmapStorage.h"
#include "framework/editor/FontStorage.h"

TEST(BitmapStorageTest, FindsTheFirstBitmapOfAnIdAndFreesEachOnceAtUnload) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<BitmapStorage>();
  auto* first = new CountedBitmap(&deletions);
  auto* second = new CountedBitmap(&deletions);
  auto* made = new CountedBitmap(&deletions);
  EXPECT_TRUE(storage->Add(first, 5));
  EXPECT_TRUE(storage->Add(second, 5));
  EXPECT_TRUE(storage->Add(made));
  EXPECT_EQ(storage->Find(5), first);
  EXPECT_EQ(storage->Find(BitmapStorage::kRunTimeId), made);
  EXPECT_EQ(storage->Find(6), nullptr);

  // The same pixels twice would be freed twice at unload.
  EXPECT_FALSE(storage->Add(first, 7));
  EXPECT_FALSE(storage->Add(made));
  EXPECT_FALSE(storage->Add(nullptr, 8));
  EXPECT_EQ(storage->Find(7), nullptr);

  storage.reset();
  EXPECT_EQ(deletions.load(), 3);
}

// Resource bitmaps are shared by every editor of the process, so only a
// bitmap made at run time may go.
TEST(BitmapStorageTest, RemoveFreesOnlyBitmapsMadeAtRunTime) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<BitmapStorage>();
  auto* resource = new CountedBitmap(&deletions);
  auto* made = new CountedBitmap(&deletions);
  CountedBitmap stranger(&deletions);
  storage->Add(resource, 3);
  storage->Add(made);

  EXPECT_FALSE(storage->Remove(resource));
  EXPECT_EQ(storage->Find(3), resource);
  EXPECT_FALSE(storage->Remove(&stranger));
  EXPECT_FALSE(storage->Remove(nullptr));
  EXPECT_EQ(deletions.load(), 0);

  EXPECT_TRUE(storage->Remove(made));
  EXPECT_EQ(deletions.load(), 1);
  EXPECT_EQ(storage->Find(BitmapStorage::kRunTimeId), nullptr);
  EXPECT_FALSE(storage->Remove(made));

  storage.reset();
  EXPECT_EQ(deletions.load(), 2);
}

TEST(FontStorageTest, MatchesSizeOrientationStyleAndExactFace) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<FontStorage>();
  const IText key(12, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 90);
  auto* font = new CountedFont(&deletions);
  EXPECT_TRUE(storage->Add(font, &key));

  // Colour, alignment and quality are drawing state, not part of the font.
  const IText sameFont(12, &COLOR_RED, "Monaco", IText::kStyleBold, IText::kAlignFar, 90,
                       IText::kQualityAntiAliased);
  EXPECT_EQ(storage->Find(&sameFont), font);
  const IText otherSize(13, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 90);
  const IText otherAngle(12, nullptr, "Monaco", IText::kStyleBold, IText::kAlignNear, 0);
  const IText otherStyle(12, nullptr, "Monaco", IText::kStyleItalic, IText::kAlignNear, 90);
  const IText otherCase(12, nullptr, "monaco", IText::kStyleBold, IText::kAlignNear, 90);
  const IText longerFace(12, nullptr, "Monaco2", IText::kStyleBold, IText::kAlignNear, 90);
  for (const IText* text : {&otherSize, &otherAngle, &otherStyle, &otherCase, &longerFace})
    EXPECT_EQ(storage->Find(text), nullptr) << text->mFont << " " << text->mSize;
  EXPECT_EQ(storage->Find(nullptr), nullptr);

  storage.reset();
  EXPECT_EQ(deletions.load(), 1);
}

TEST(FontStorageTest, RefusesAFontItAlreadyHoldsAndKeepsSizeZeroAsAPlainKey) {
  std::atomic<int> deletions{0};
  auto storage = std::make_unique<FontStorage>();
  const IText zero(0);
  const IText ten(10);
  auto* font = new CountedFont(&deletions);
  EXPECT_TRUE(storage->Add(font, &zero));
  EXPECT_FALSE(storage->Add(font, &ten));
  EXPECT_FALSE(storage->Add(nullptr, &ten));
  CountedFont unowned(&deletions);
  EXPECT_FALSE(storage->Add(&unowned, nullptr));
  EXPECT_EQ(storage->Find(&zero), font);
  EXPECT_EQ(storage->Find(&ten), nullptr);

  storage.reset();
  EXPECT_EQ(deletions.load(), 1);
}
