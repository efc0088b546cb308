#include "framework/base/WDL_StringKeyedArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<int> gDisposedValues;
void DisposeValue(int value) {
  gDisposedValues.push_back(value);
}
}  // namespace

TEST(AssocArrayTest, KeysStaySortedAndAreFoundByBinarySearch) {
  WDL_StringKeyedArray<int> array;
  const char* keys[] = {"delta", "alpha", "echo", "charlie", "bravo"};
  for (int i = 0; i < 5; ++i)
    array.Insert(keys[i], i);
  ASSERT_EQ(array.GetSize(), 5);
  EXPECT_EQ(array.Get("alpha", -1), 1);
  EXPECT_EQ(array.Get("bravo", -1), 4);
  EXPECT_EQ(array.Get("echo", -1), 2);
  EXPECT_EQ(array.Get("foxtrot", -1), -1);
  EXPECT_EQ(array.Insert("aardvark", 9), 0);  // place of the new pair
  EXPECT_EQ(array.Insert("zulu", 9), 6);
}

TEST(AssocArrayTest, KeysAreCopiedOnInsertion) {
  WDL_StringKeyedArray<int> array;
  std::string key = "volume";
  array.Insert(key.c_str(), 3);
  key = "xxxxxx";
  const char* stored = nullptr;
  ASSERT_NE(array.GetPtr("volume", &stored), nullptr);
  EXPECT_STREQ(stored, "volume");
}

TEST(AssocArrayTest, InsertingAPresentKeyReplacesAndDisposesTheOldValue) {
  gDisposedValues.clear();
  {
    WDL_StringKeyedArray<int> array(true, DisposeValue);
    array.Insert("gain", 1);
    const char* storedBefore = nullptr;
    array.GetPtr("gain", &storedBefore);
    array.Insert("gain", 2);
    const char* storedAfter = nullptr;
    EXPECT_EQ(*array.GetPtr("gain", &storedAfter), 2);
    EXPECT_EQ(storedBefore, storedAfter);  // the stored key stays
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_EQ(gDisposedValues, std::vector<int>{1});
  }
  EXPECT_EQ(gDisposedValues, (std::vector<int>{1, 2}));  // destructor disposes the rest
}

TEST(AssocArrayTest, LetterCaseMattersOnlyInCaseSensitiveArrays) {
  WDL_StringKeyedArray<int> sensitive(true);
  WDL_StringKeyedArray<int> insensitive(false);
  sensitive.Insert("Mix", 1);
  insensitive.Insert("Mix", 1);
  EXPECT_EQ(sensitive.GetPtr("mix"), nullptr);
  ASSERT_NE(insensitive.GetPtr("mIX"), nullptr);
  insensitive.Insert("MIX", 5);
  EXPECT_EQ(insensitive.GetSize(), 1);
  EXPECT_EQ(insensitive.Get("mix"), 5);
}

TEST(AssocArrayTest, DeleteAllDisposesEveryValue) {
  gDisposedValues.clear();
  WDL_StringKeyedArray<int> array(true, DisposeValue);
  array.Insert("b", 2);
  array.Insert("a", 1);
  array.DeleteAll();
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_EQ(gDisposedValues, (std::vector<int>{1, 2}));
  EXPECT_EQ(array.GetPtr("a"), nullptr);
}
