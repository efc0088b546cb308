#include "framework/base/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Utf8Test, DecodesWellFormedTextAndRefusesEachBrokenByte) {
  const struct {
    std::string bytes;
    std::vector<long> codes;
  } cases[] = {
      {"Az", {'A', 'z'}},
      {"\xC3\xA9", {0xE9}},
      {"\xE2\x82\xAC", {0x20AC}},
      {"\xF0\x9D\x84\x9E", {0x1D11E}},
      {"\xC0\xAF", {-1, -1}},                  // overlong '/'
      {"\xE2\x82", {-1, -1}},                  // truncated
      {"\xED\xA0\x80", {-1, -1, -1}},          // surrogate
      {"\xF4\x90\x80\x80", {-1, -1, -1, -1}},  // beyond U+10FFFF
      {"\x80x", {-1, 'x'}},
      {std::string("a\0b", 3), {'a', 0, 'b'}},
  };
  for (const auto& c : cases) {
    std::vector<long> got;
    for (std::size_t pos = 0; pos < c.bytes.size();)
      got.push_back(DecodeUtf8(c.bytes, pos));
    EXPECT_EQ(got, c.codes) << c.bytes;
  }
}

// Every scalar value survives encoding and decoding; what is not one comes
// back as the replacement character.
TEST(Utf8Test, EncodingRoundTripsEveryScalarValue) {
  for (unsigned long code = 0; code <= 0x110001; ++code) {
    char bytes[4];
    const int n = EncodeUtf8(code, bytes);
    std::size_t pos = 0;
    const long back = DecodeUtf8(std::string_view(bytes, static_cast<std::size_t>(n)), pos);
    const bool scalar = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    ASSERT_EQ(back, scalar ? static_cast<long>(code) : 0xFFFD) << code;
    ASSERT_EQ(pos, static_cast<std::size_t>(n));
  }
}
