#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <utility>

#include "platform/CFNumber.h"
#include "tests/platform/PlatformTestSupport.h"

namespace {

template <typename T>
CFNumberRef Make(CFNumberType type, T value) {
  return CFNumberCreate(nullptr, type, &value);
}

template <typename T>
std::pair<bool, T> Get(CFNumberRef number, CFNumberType type) {
  T value;
  std::memset(&value, 0x5A, sizeof value);
  const bool exact = CFNumberGetValue(number, type, &value);
  return {exact, value};
}

}  // namespace

TEST(CFNumberTest, EveryTypeRoundTripsExactly) {
  CFRef<CFNumberRef> s8(Make<SInt8>(kCFNumberSInt8Type, -100));
  CFRef<CFNumberRef> s16(Make<SInt16>(kCFNumberSInt16Type, -30000));
  CFRef<CFNumberRef> s32(Make<SInt32>(kCFNumberSInt32Type, INT32_MIN));
  CFRef<CFNumberRef> s64(Make<SInt64>(kCFNumberSInt64Type, INT64_MAX));
  CFRef<CFNumberRef> f32(Make<Float32>(kCFNumberFloat32Type, 0.1f));
  CFRef<CFNumberRef> f64(Make<Float64>(kCFNumberFloat64Type, 1.0 / 3.0));
  EXPECT_EQ(Get<SInt8>(s8, kCFNumberSInt8Type), std::make_pair(true, SInt8(-100)));
  EXPECT_EQ(Get<SInt16>(s16, kCFNumberSInt16Type), std::make_pair(true, SInt16(-30000)));
  EXPECT_EQ(Get<SInt32>(s32, kCFNumberSInt32Type), std::make_pair(true, SInt32(INT32_MIN)));
  EXPECT_EQ(Get<SInt64>(s64, kCFNumberSInt64Type), std::make_pair(true, SInt64(INT64_MAX)));
  EXPECT_EQ(Get<Float32>(f32, kCFNumberFloat32Type), std::make_pair(true, 0.1f));
  EXPECT_EQ(Get<Float64>(f64, kCFNumberFloat64Type), std::make_pair(true, 1.0 / 3.0));
  EXPECT_EQ(Get<Float64>(f32, kCFNumberFloat64Type), std::make_pair(true, Float64(0.1f)));
  EXPECT_EQ(CFNumberGetType(s8), kCFNumberSInt32Type);
  EXPECT_EQ(CFNumberGetType(s64), kCFNumberSInt64Type);
  EXPECT_EQ(CFNumberGetType(f32), kCFNumberFloat32Type);
  EXPECT_TRUE(CFNumberIsFloatType(f64));
  EXPECT_FALSE(CFNumberIsFloatType(s32));

  std::mt19937 random(7);
  for (int i = 0; i < 1000; ++i) {
    const SInt32 value = static_cast<SInt32>(random());
    CFRef<CFNumberRef> number(Make(kCFNumberSInt32Type, value));
    const auto [exact, real] = Get<Float64>(number, kCFNumberFloat64Type);
    ASSERT_TRUE(exact);
    CFRef<CFNumberRef> back(Make(kCFNumberFloat64Type, real));
    ASSERT_EQ(Get<SInt32>(back, kCFNumberSInt32Type), std::make_pair(true, value));
  }
}

TEST(CFNumberTest, LossyConversionsWriteTheNearestValueAndReportFalse) {
  CFRef<CFNumberRef> threeAndHalf(Make(kCFNumberFloat64Type, 3.5));
  CFRef<CFNumberRef> minusThreeAndHalf(Make(kCFNumberFloat64Type, -3.5));
  CFRef<CFNumberRef> three(Make(kCFNumberFloat64Type, 3.0));
  CFRef<CFNumberRef> big(Make<SInt64>(kCFNumberSInt64Type, SInt64{1} << 40));
  CFRef<CFNumberRef> threeHundred(Make<SInt32>(kCFNumberSInt32Type, 300));
  CFRef<CFNumberRef> tenth(Make(kCFNumberFloat64Type, 0.1));
  CFRef<CFNumberRef> half(Make(kCFNumberFloat64Type, 0.5));
  CFRef<CFNumberRef> oddLarge(Make<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1));
  CFRef<CFNumberRef> notANumber(Make<Float64>(kCFNumberFloat64Type, NAN));
  CFRef<CFNumberRef> minusInfinity(Make<Float64>(kCFNumberFloat64Type, -INFINITY));
  CFRef<CFNumberRef> huge(Make(kCFNumberFloat64Type, 1e300));

  EXPECT_EQ(Get<SInt32>(threeAndHalf, kCFNumberSInt32Type), std::make_pair(false, SInt32(3)));
  EXPECT_EQ(Get<SInt32>(minusThreeAndHalf, kCFNumberSInt32Type), std::make_pair(false, SInt32(-3)));
  EXPECT_EQ(Get<SInt32>(three, kCFNumberSInt32Type), std::make_pair(true, SInt32(3)));
  EXPECT_EQ(Get<SInt32>(big, kCFNumberSInt32Type), std::make_pair(false, SInt32(INT32_MAX)));
  EXPECT_EQ(Get<SInt8>(threeHundred, kCFNumberSInt8Type), std::make_pair(false, SInt8(127)));
  EXPECT_EQ(Get<SInt16>(threeHundred, kCFNumberSInt16Type), std::make_pair(true, SInt16(300)));
  EXPECT_EQ(Get<Float32>(tenth, kCFNumberFloat32Type), std::make_pair(false, 0.1f));
  EXPECT_EQ(Get<Float32>(half, kCFNumberFloat32Type), std::make_pair(true, 0.5f));
  EXPECT_FALSE(Get<Float64>(oddLarge, kCFNumberFloat64Type).first);
  // An integer is exact in a real when its significant bits fit the
  // mantissa, wherever they sit; otherwise the nearest real, ties to even.
  const std::pair<SInt64, std::pair<bool, Float64>> toFloat64[] = {
      {(SInt64{1} << 53) + 1, {false, 9007199254740992.0}},
      {-(SInt64{1} << 53) - 1, {false, -9007199254740992.0}},
      {(SInt64{1} << 53) + 2, {true, 9007199254740994.0}},
      {(SInt64{1} << 60) + (SInt64{1} << 8), {true, 1152921504606847232.0}},
      {(SInt64{1} << 60) + (SInt64{1} << 7), {false, 1152921504606846976.0}},
      {INT64_MIN, {true, -9223372036854775808.0}},
      {INT64_MAX, {false, 9223372036854775808.0}},
  };
  for (const auto& [integer, expected] : toFloat64) {
    CFRef<CFNumberRef> number(Make<SInt64>(kCFNumberSInt64Type, integer));
    EXPECT_EQ(Get<Float64>(number, kCFNumberFloat64Type), expected) << integer;
  }
  const std::pair<SInt64, std::pair<bool, Float32>> toFloat32[] = {
      {(SInt64{1} << 24) + 1, {false, 16777216.0f}},
      {(SInt64{1} << 24) + 2, {true, 16777218.0f}},
      {(SInt64{1} << 24) + 3, {false, 16777220.0f}},
  };
  for (const auto& [integer, expected] : toFloat32) {
    CFRef<CFNumberRef> number(Make<SInt64>(kCFNumberSInt64Type, integer));
    EXPECT_EQ(Get<Float32>(number, kCFNumberFloat32Type), expected) << integer;
  }
  EXPECT_EQ(Get<Float32>(big, kCFNumberFloat32Type), std::make_pair(true, 1099511627776.0f));
  EXPECT_EQ(Get<SInt32>(notANumber, kCFNumberSInt32Type), std::make_pair(false, SInt32(0)));
  EXPECT_EQ(Get<SInt32>(minusInfinity, kCFNumberSInt32Type),
            std::make_pair(false, SInt32(INT32_MIN)));
  EXPECT_EQ(Get<Float32>(huge, kCFNumberFloat32Type), std::make_pair(false, FLT_MAX));
  EXPECT_TRUE(std::isnan(Get<Float32>(notANumber, kCFNumberFloat32Type).second));
}

TEST(CFNumberTest, NumbersAndBooleansCompareByValue) {
  CFRef<CFNumberRef> one(Make<SInt32>(kCFNumberSInt32Type, 1));
  CFRef<CFNumberRef> oneReal(Make(kCFNumberFloat64Type, 1.0));
  CFRef<CFNumberRef> oneAndHalf(Make(kCFNumberFloat64Type, 1.5));
  CFRef<CFNumberRef> nan1(Make<Float64>(kCFNumberFloat64Type, NAN));
  CFRef<CFNumberRef> nan2(Make<Float32>(kCFNumberFloat32Type, NAN));
  EXPECT_TRUE(CFEqual(one, oneReal));
  EXPECT_EQ(CFHash(one), CFHash(oneReal));
  EXPECT_FALSE(CFEqual(one, oneAndHalf));
  EXPECT_TRUE(CFEqual(nan1, nan2));
  EXPECT_EQ(CFHash(nan1), CFHash(nan2));

  EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
  EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
  EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
  EXPECT_FALSE(CFEqual(kCFBooleanTrue, kCFBooleanFalse));
  EXPECT_FALSE(CFEqual(kCFBooleanTrue, one));
}

TEST(CFNumberTest, BadTypesAndArgumentsAreRefused) {
  SInt32 value = 5;
  EXPECT_EQ(CFNumberCreate(nullptr, 0, &value), nullptr);
  EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberMaxType + 1, &value), nullptr);
  EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberSInt32Type, nullptr), nullptr);
  CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberIntType, &value));
  EXPECT_FALSE(CFNumberGetValue(number, 99, &value));
  EXPECT_FALSE(CFNumberGetValue(number, kCFNumberSInt32Type, nullptr));
  CFRef<CFStringRef> text(platform_test::NewString("5"));
  value = 9;
  EXPECT_FALSE(
      CFNumberGetValue(reinterpret_cast<CFNumberRef>(text.get()), kCFNumberSInt32Type, &value));
  EXPECT_EQ(value, 9);
  EXPECT_EQ(CFNumberGetType(reinterpret_cast<CFNumberRef>(text.get())), 0);
  EXPECT_FALSE(CFBooleanGetValue(reinterpret_cast<CFBooleanRef>(number.get())));
}
