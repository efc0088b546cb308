#include "framework/plugin/CharUtils.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CharUtilsTest, WhitespaceIsBlankTabNewlineAndReturnOnly) {
  for (char c : {' ', '\t', '\n', '\r'})
    EXPECT_TRUE(IsWhitespace(c)) << int(c);
  for (char c : {'\v', '\f', 'a', '\0', '_'})
    EXPECT_FALSE(IsWhitespace(c)) << int(c);
}

TEST(CharUtilsTest, ToLowerCopiesLowercasedAndInPlace) {
  char dst[16];
  memset(dst, '#', sizeof(dst));
  ToLower(dst, "ReAPER 6.x");
  EXPECT_STREQ(dst, "reaper 6.x");
  EXPECT_EQ(dst[11], '#');
  char same[] = "LOGIC Pro";
  ToLower(same, same);
  EXPECT_STREQ(same, "logic pro");
}
