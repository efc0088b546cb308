#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/CFNumber.h"
#include "platform/CFString.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::NewString;
using platform_test::Text;

namespace {

struct Sample {
  const char* utf8;
  CFIndex utf16Units;
};

const std::vector<Sample> kSamples = {
    {"", 0},
    {"Morvex", 6},
    {"Gr\xC3\xBC\xC3\x9F"
     "e",
     5},
    {"\xE6\x97\xA5\xE6\x9C\xAC", 2},
    {"\xF0\x9D\x84\x9E clef", 7},  // U+1D11E takes a surrogate pair
};

}  // namespace

TEST(CFStringTest, Utf8TextRoundTripsAndCountsUtf16Units) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.utf8);
    const std::string bytes = sample.utf8;
    CFRef<CFStringRef> fromCString(NewString(sample.utf8));
    CFRef<CFStringRef> fromBytes(
        CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                static_cast<CFIndex>(bytes.size()), kCFStringEncodingUTF8, false));
    ASSERT_NE(fromCString.get(), nullptr);
    EXPECT_TRUE(CFEqual(fromCString, fromBytes));
    EXPECT_EQ(CFHash(fromCString), CFHash(fromBytes));
    EXPECT_EQ(CFStringGetLength(fromCString), sample.utf16Units);

    const CFIndex room =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(fromCString), kCFStringEncodingUTF8) +
        1;
    EXPECT_GE(room, static_cast<CFIndex>(bytes.size()) + 1);
    std::vector<char> buffer(static_cast<size_t>(room));
    ASSERT_TRUE(CFStringGetCString(fromCString, buffer.data(), room, kCFStringEncodingUTF8));
    EXPECT_EQ(std::string(buffer.data()), bytes);
    EXPECT_EQ(Text(fromBytes), bytes);
  }
}

TEST(CFStringTest, InvalidOrUnencodableTextIsRefused) {
  for (const char* invalid :
       {"\xC0\xAF", "\xED\xA0\x80", "\xE6\x97", "\x80", "\xF4\x90\x80\x80", "ok\xFF"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(invalid)));
    EXPECT_EQ(NewString(invalid), nullptr);
  }
  CFRef<CFStringRef> latin(
      CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingISOLatin1));
  EXPECT_EQ(Text(latin), "caf\xC3\xA9");
  char buffer[16] = "untouched";
  EXPECT_FALSE(CFStringGetCString(latin, buffer, sizeof buffer, kCFStringEncodingASCII));
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(CFStringGetCString(latin, buffer, sizeof buffer, kCFStringEncodingISOLatin1));
  EXPECT_STREQ(buffer, "caf\xE9");
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingASCII), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);

  CFRef<CFStringRef> abc(NewString("abc"));
  EXPECT_FALSE(CFStringGetCString(abc, buffer, 3, kCFStringEncodingUTF8));
  EXPECT_TRUE(CFStringGetCString(abc, buffer, 4, kCFStringEncodingUTF8));
  EXPECT_STREQ(buffer, "abc");
}

TEST(CFStringTest, CompareIsAnOrderThatCanFoldCase) {
  const std::vector<const char*> texts = {"", "A", "a", "ab", "b", "Morvex", "MORVEX", "\xC3\xA9"};
  for (const char* x : texts) {
    for (const char* y : texts) {
      CFRef<CFStringRef> a(NewString(x));
      CFRef<CFStringRef> b(NewString(y));
      const CFComparisonResult forward = CFStringCompare(a, b, 0);
      EXPECT_EQ(forward, -CFStringCompare(b, a, 0)) << x << " vs " << y;
      EXPECT_EQ(forward == kCFCompareEqualTo, CFEqual(a, b) != 0);
      EXPECT_EQ(forward, std::string(x).compare(y) < 0   ? kCFCompareLessThan
                         : std::string(x).compare(y) > 0 ? kCFCompareGreaterThan
                                                         : kCFCompareEqualTo);
    }
  }
  CFRef<CFStringRef> lower(NewString("morvex"));
  CFRef<CFStringRef> upper(NewString("MORVEX"));
  EXPECT_EQ(CFStringCompare(lower, upper, kCFCompareCaseInsensitive), kCFCompareEqualTo);
  EXPECT_NE(CFStringCompare(lower, upper, 0), kCFCompareEqualTo);
}

TEST(CFStringTest, FormatHandlesPrintfConversionsAndCFObjects) {
  CFRef<CFStringRef> hello(NewString("hello"));
  const SInt32 seventeen = 17;
  CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &seventeen));
  CFRef<CFStringRef> text(CFStringCreateWithFormat(
      nullptr, nullptr, CFSTR("%d|%i|%u|%s|%.2f|%@|%@|%5d|%-3s|%%|%@|%lld|%x|%c"), -7, 42,
      4000000000u, "text", 3.14159, hello.get(), number.get(), 12, "ab",
      static_cast<const void*>(nullptr), -9000000000LL, 255u, 'Z'));
  EXPECT_EQ(Text(text), "-7|42|4000000000|text|3.14|hello|17|   12|ab |%|(null)|-9000000000|ff|Z");

  CFRef<CFStringRef> name(NewString("Deep Sweep"));
  CFRef<CFStringRef> preset(CFStringCreateWithFormat(
      nullptr, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"), 3, name.get()));
  EXPECT_EQ(Text(preset), "AUPreset:\npreset number = 3\npreset name = Deep Sweep");

  CFRef<CFStringRef> longer(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("[%300s]"), "x"));
  EXPECT_EQ(CFStringGetLength(longer), 302);
  EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, nullptr), nullptr);
}

TEST(CFStringTest, FormatRefusesWidthsAndPrecisionsBeyond4096) {
  auto format = [](const char* directive, auto... values) {
    CFStringRef pattern = CFStringCreateWithCString(nullptr, directive, kCFStringEncodingUTF8);
    CFStringRef text = CFStringCreateWithFormat(nullptr, nullptr, pattern, values...);
    CFRelease(pattern);
    const CFIndex length = text ? CFStringGetLength(text) : -1;
    if (text) CFRelease(text);
    return length;
  };
  // The cheap cases first, so that old code stops before the costly ones.
  ASSERT_EQ(format("%4097d", 1), -1);
  EXPECT_EQ(format("%4096d", 1), 4096);
  EXPECT_EQ(format("%*d|%-*d", 4096, 1, -4096, 2), 8193);
  EXPECT_EQ(format("%.*f", 4096, 0.5), 4098);
  EXPECT_EQ(format("%.*s", -1, "abc"), 3);  // a negative precision counts as none
  EXPECT_EQ(format("%*d", 4097, 1), -1);
  EXPECT_EQ(format("%*d", -4097, 1), -1);
  EXPECT_EQ(format("%.4097s", "abc"), -1);
  EXPECT_EQ(format("%99999999999999999999d", 1), -1);
  EXPECT_EQ(format("%*d", INT_MAX, 1), -1);
  EXPECT_EQ(format("%*d", INT_MIN, 1), -1);
  EXPECT_EQ(format("%.*f", INT_MAX, 1.0), -1);
}

TEST(CFStringTest, ConstantStringsAreSharedAndIgnoreReleaseWhileCopiesRetain) {
  CFStringRef constant = CFSTR("version");
  EXPECT_EQ(constant, CFSTR("version"));
  CFRelease(constant);
  CFRelease(constant);
  CFRef<CFStringRef> created(NewString("version"));
  EXPECT_TRUE(CFEqual(constant, created));
  EXPECT_EQ(Text(CFSTR("version")), "version");

  EXPECT_EQ(CFGetRetainCount(created), 1);
  CFStringRef copy = CFStringCreateCopy(nullptr, created);
  EXPECT_TRUE(CFEqual(copy, created));
  EXPECT_EQ(CFGetRetainCount(created), 2);
  CFRelease(copy);
  EXPECT_EQ(CFGetRetainCount(created), 1);
}
