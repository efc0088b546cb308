#include "framework/base/WDL_String.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StringTest, NeverSetStringReadsEmpty) {
  WDL_String s;
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(StringTest, SetHonoursMaximumLength) {
  WDL_String s;
  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
  s.Set("abcdef", 0);
  EXPECT_STREQ(s.Get(), "abcdef");
  s.Set("xy", 10);
  EXPECT_STREQ(s.Get(), "xy");
  s.Set(static_cast<const char*>(nullptr));
  EXPECT_STREQ(s.Get(), "");
}

TEST(StringTest, SetFromAPartOfItself) {
  WDL_String s("hello world");
  s.Set(s.Get() + 6);
  EXPECT_STREQ(s.Get(), "world");
  s.Set(&s);
  EXPECT_STREQ(s.Get(), "world");
  // Self-assignment as real code meets it: through another name.
  const WDL_String& sameString = s;
  s = sameString;
  EXPECT_STREQ(s.Get(), "world");
}

TEST(StringTest, AppendFromItselfAcrossReallocation) {
  WDL_String s("0123456789");
  for (int i = 0; i < 6; ++i)
    s.Append(s.Get());  // 640 characters
  ASSERT_EQ(s.GetLength(), 640);
  for (int i = 0; i < 640; ++i)
    ASSERT_EQ(s.Get()[i], '0' + i % 10) << i;
}

TEST(StringTest, AppendingNothingToANeverSetStringSetsItEmpty) {
  WDL_String s;
  s.Append("");
  EXPECT_STREQ(s.Get(), "");
  s.Append("ab");
  s.Append("cdef", 2);
  EXPECT_STREQ(s.Get(), "abcd");
}

TEST(StringTest, CopiesAreIndependent) {
  WDL_String a("one");
  WDL_String b(a);
  b.Append("two");
  EXPECT_STREQ(a.Get(), "one");
  EXPECT_STREQ(b.Get(), "onetwo");
  a = b;
  EXPECT_STREQ(a.Get(), "onetwo");
}

TEST(StringTest, SetLenCutsAndExtends) {
  WDL_String s("abcdef");
  s.SetLen(3);
  EXPECT_STREQ(s.Get(), "abc");
  s.SetLen(-4);
  EXPECT_STREQ(s.Get(), "");
  WDL_String fresh;
  fresh.SetLen(10);
  EXPECT_EQ(fresh.GetLength(), 0);  // no uninitialised characters show
}

TEST(StringTest, DeleteSubRemovesWithinBounds) {
  WDL_String s("ab  cde");
  s.DeleteSub(4, 1);
  EXPECT_STREQ(s.Get(), "ab  de");
  s.Set("ab  cde");
  s.DeleteSub(2, 1);
  EXPECT_STREQ(s.Get(), "ab cde");
  s.DeleteSub(6, 1);  // at the end
  s.DeleteSub(60, 1);
  s.DeleteSub(-1, 1);
  EXPECT_STREQ(s.Get(), "ab cde");
  s.DeleteSub(3, 100);  // runs past the end
  EXPECT_STREQ(s.Get(), "ab ");
  s.DeleteSub(0, -2);
  EXPECT_STREQ(s.Get(), "ab ");
  WDL_String never;
  never.DeleteSub(0, 1);
  EXPECT_STREQ(never.Get(), "");
}

TEST(StringTest, FormattingIsBoundedByMaximumLength) {
  WDL_String s;
  s.SetFormatted(5, "%d-%s", 42, "abcdef");
  EXPECT_STREQ(s.Get(), "42-ab");
  s.AppendFormatted(3, "%.2f", 3.14159);
  EXPECT_STREQ(s.Get(), "42-ab3.1");
  s.SetFormatted(0, "%s", "gone");
  EXPECT_STREQ(s.Get(), "");
  s.SetFormatted(32, "%.6f", 1e300);
  EXPECT_EQ(s.GetLength(), 32);
}
