#include "framework/window/gdi/Utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(Utf8Test, DecodesWellFormedTextAndReplacesEachBrokenByte) {
  const struct {
    const char* bytes;
    std::vector<unsigned int> codes;
  } cases[] = {
      {"Az", {'A', 'z'}},
      {"\xC3\xA9", {0xE9}},
      {"\xE2\x82\xAC", {0x20AC}},
      {"\xF0\x9D\x84\x9E", {0x1D11E}},
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},                          // overlong '/'
      {"\xE2\x82", {0xFFFD, 0xFFFD}},                          // truncated
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},              // surrogate
      {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},  // beyond U+10FFFF
      {"\x80x", {0xFFFD, 'x'}},
  };
  for (const auto& c : cases) {
    std::vector<unsigned int> got;
    const int end = static_cast<int>(std::strlen(c.bytes));
    for (int pos = 0; pos < end;)
      got.push_back(SWELL_Utf8Next(c.bytes, end, &pos));
    EXPECT_EQ(got, c.codes) << c.bytes;
  }
}
