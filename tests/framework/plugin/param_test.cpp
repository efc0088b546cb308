#include "framework/plugin/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {
std::string Display(const IParam& p, double value, bool normalized = false,
                    bool withDisplayText = true) {
  IParam::DisplayString text;
  memset(text, 'x', sizeof(text));
  p.GetDisplayForHost(value, normalized, text, withDisplayText);
  EXPECT_NE(memchr(text, 0, sizeof(text)), nullptr) << "display string not terminated";
  return text;
}
}  // namespace

TEST(IParamTest, FreshParameterHasTheDocumentedDefaults) {
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Value(), 0.0);
  double lo = -1, hi = -1;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_EQ(p.GetShape(), 1.0);
  EXPECT_STREQ(p.GetNameForHost(), "");
  EXPECT_TRUE(p.GetCanAutomate());
  EXPECT_FALSE(p.GetIsMeta());
  EXPECT_FALSE(p.DisplayIsNegated());
  EXPECT_EQ(p.GetNDisplayTexts(), 0);
}

TEST(IParamTest, InitialisersChainAndKeepTheFirstType) {
  IParam b;
  b.InitBool("Bypass", true);
  EXPECT_EQ(b.Type(), IParam::kTypeBool);
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(b.GetDefault(), 1.0);
  EXPECT_EQ(b.GetMin(), 0.0);
  EXPECT_EQ(b.GetMax(), 1.0);
  EXPECT_EQ(b.GetStep(), 1.0);
  EXPECT_EQ(b.GetPrecision(), 0);
  ASSERT_EQ(b.GetNDisplayTexts(), 2);
  int v = -1;
  EXPECT_STREQ(b.GetDisplayTextAtIdx(0, &v), "off");
  EXPECT_EQ(v, 0);
  EXPECT_STREQ(b.GetDisplayTextAtIdx(1, &v), "on");
  EXPECT_EQ(v, 1);
  EXPECT_STREQ(b.GetLabelForHost(), "");
  b.Set(0);
  EXPECT_STREQ(b.GetLabelForHost(), "");

  IParam e;
  e.InitEnum("Mode", 0, 4, "lbl", "grp");
  EXPECT_EQ(e.Type(), IParam::kTypeEnum);
  EXPECT_EQ(e.GetMin(), 0.0);
  EXPECT_EQ(e.GetMax(), 3.0);
  EXPECT_STREQ(e.GetLabelForHost(), "lbl");
  EXPECT_STREQ(e.GetParamGroupForHost(), "grp");

  IParam i;
  i.InitInt("Stages", 3, 0, 5);
  EXPECT_EQ(i.Type(), IParam::kTypeInt);
  EXPECT_EQ(i.Int(), 3);

  IParam d;
  d.InitDouble("Mix", 0.5, 0.0, 1.0, 0.01, "%", "main", 2.0);
  EXPECT_EQ(d.Type(), IParam::kTypeDouble);
  EXPECT_EQ(d.GetShape(), 2.0);
  EXPECT_STREQ(d.GetNameForHost(), "Mix");
  EXPECT_STREQ(d.GetLabelForHost(), "%");
}

TEST(IParamTest, InitDoubleWidensTheRangeToOneStepAndDoesNotClampTheDefault) {
  IParam p;
  p.InitDouble("x", 0.0, 0.0, 1.0, 2.0);
  EXPECT_EQ(p.GetMax(), 2.0);

  IParam q;
  q.InitDouble("x", 9.0, 0.0, 5.0, 0.1);
  EXPECT_EQ(q.Value(), 9.0);
  q.Set(q.Value());
  EXPECT_EQ(q.Value(), 5.0);
}

TEST(IParamTest, DisplayPrecisionFollowsTheStep) {
  const struct {
    double step;
    int precision;
  } cases[] = {{1, 0}, {0.1, 1}, {0.05, 2}, {0.01, 2}, {0.001, 3}, {1e-9, 6}, {2.5, 1}};
  for (const auto& c : cases) {
    IParam p;
    p.InitDouble("x", 0.0, 0.0, 10.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << "step " << c.step;
    EXPECT_EQ(p.GetStep(), c.step);
  }
}

TEST(IParamTest, SetShapeIgnoresZero) {
  IParam p;
  p.InitDouble("x", 0.0, 0.0, 1.0, 0.01, "", "", 3.0);
  p.SetShape(0.0);
  EXPECT_EQ(p.GetShape(), 3.0);
  p.SetShape(0.5);
  EXPECT_EQ(p.GetShape(), 0.5);
}

TEST(IParamTest, SetClampsToTheRange) {
  IParam p;
  p.InitDouble("x", 1.0, -2.0, 3.0, 0.01);
  p.Set(-7);
  EXPECT_EQ(p.Value(), -2.0);
  p.Set(7);
  EXPECT_EQ(p.Value(), 3.0);
  p.Set(0.25);
  EXPECT_EQ(p.Value(), 0.25);
}

// A host that sends NaN for a mix parameter must not bypass the effect.
TEST(IParamTest, NonFiniteValuesLeaveTheParameterUnchanged) {
  const double nonFinite[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity()};
  IParam d;
  d.InitDouble("d", 0.0, -2.0, 3.0, 0.01, "", "", 2.5);
  IParam i;
  i.InitInt("i", 0, 0, 5);
  for (IParam* p : {&d, &i}) {
    p->Set(1.0);
    for (double v : nonFinite) {
      p->Set(v);
      EXPECT_EQ(p->Value(), 1.0) << v;
      p->SetNormalized(v);
      EXPECT_EQ(p->Value(), 1.0) << v;
    }
  }
  // No real power of a negative number for a fractional shape.
  d.SetNormalized(-0.2);
  EXPECT_EQ(d.Value(), 1.0);
}

TEST(IParamTest, SetNormalizedRoundsNonDoublesAndClampsOnlyAtTheTop) {
  IParam i;
  i.InitInt("i", 0, 0, 5);
  i.SetNormalized(0.5);
  EXPECT_EQ(i.Value(), 3.0);  // 2.5 rounds up
  i.SetNormalized(0.41);      // 2.05
  EXPECT_EQ(i.Value(), 2.0);

  IParam d;
  d.InitDouble("d", 0.0, 0.0, 5.0, 0.01);
  d.SetNormalized(0.5);
  EXPECT_EQ(d.Value(), 2.5);
  d.SetNormalized(1.2);
  EXPECT_EQ(d.Value(), 5.0);
  d.SetNormalized(-0.2);
  EXPECT_DOUBLE_EQ(d.Value(), -1.0);
}

TEST(IParamTest, NormalisationRoundTripsThroughTheShape) {
  EXPECT_DOUBLE_EQ(FromNormalizedParam(0.5, 0.0, 1.0, 2.0), 0.25);
  EXPECT_DOUBLE_EQ(ToNormalizedParam(0.25, 0.0, 1.0, 2.0), 0.5);
  for (double shape : {0.3, 1.0, 2.0, 4.5}) {
    for (double n = 0.0; n <= 1.0; n += 0.0625) {
      const double real = FromNormalizedParam(n, -20.0, 60.0, shape);
      EXPECT_NEAR(ToNormalizedParam(real, -20.0, 60.0, shape), n, 1e-12) << shape;
    }
  }
  IParam p;
  p.InitDouble("x", 0.0, 0.0, 5.0, 0.01);
  EXPECT_EQ(p.GetNormalized(7.0), 1.0);
  EXPECT_EQ(p.GetNormalized(-1.0), 0.0);
  p.Set(1.25);
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.25);
}

TEST(IParamTest, DisplayFormatsWithPrecisionNegationAndDisplayTexts) {
  IParam p;
  p.InitDouble("x", 0.0, -10.0, 10.0, 1.0);
  EXPECT_EQ(Display(p, 2.7), "2");
  EXPECT_EQ(Display(p, -2.7), "-2");

  IParam q;
  q.InitDouble("x", 0.0, -10.0, 10.0, 0.01);
  EXPECT_EQ(Display(q, 2.7), "2.70");
  q.NegateDisplay();
  EXPECT_EQ(Display(q, 2.7), "-2.70");
  EXPECT_EQ(Display(q, 0.75, true), "-5.00");  // normalised 0.75 of -10..10 is 5

  IParam b;
  b.InitBool("b", false);
  EXPECT_EQ(Display(b, 1.9), "on");
  EXPECT_EQ(Display(b, 0.9), "off");
  EXPECT_EQ(Display(b, 1.9, false, false), "1");
  b.Set(1.0);
  IParam::DisplayString text;
  b.GetDisplayForHost(text);
  EXPECT_STREQ(text, "on");
  b.GetDisplayForHostNoDisplayText(text);
  EXPECT_STREQ(text, "1");
}

TEST(IParamTest, DisplayNeverOverflowsItsBuffer) {
  IParam p;
  p.InitDouble("x", 0.0, 0.0, 1e308, 0.000001);
  ASSERT_EQ(p.GetPrecision(), 6);
  const std::string huge = Display(p, 1e300);
  EXPECT_EQ(huge.size(), static_cast<size_t>(MAX_PARAM_DISPLAY_LEN - 1));
  EXPECT_EQ(huge.substr(0, 5), "10000");

  IParam i;
  i.InitInt("i", 0, 0, 1);
  EXPECT_EQ(Display(i, 1e300), "2147483647");
  EXPECT_EQ(Display(i, -1e300), "-2147483648");
  EXPECT_EQ(Display(i, std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(IParamTest, TextsAreTruncatedToTheirFixedWidths) {
  const std::string longText(100, 'n');
  IParam p;
  p.InitDouble(longText.c_str(), 0.0, 0.0, 1.0, 0.1, longText.c_str(), longText.c_str());
  EXPECT_EQ(std::string(p.GetNameForHost()), longText.substr(0, 31));
  EXPECT_EQ(std::string(p.GetLabelForHost()), longText.substr(0, 31));
  EXPECT_EQ(std::string(p.GetParamGroupForHost()), longText.substr(0, 31));
  p.SetDisplayText(0, longText.c_str());
  EXPECT_EQ(std::string(p.GetDisplayText(0)), longText.substr(0, 31));
  EXPECT_EQ(Display(p, 0.0), longText.substr(0, 31));

  IParam n;
  n.InitDouble(nullptr, 0.0, 0.0, 1.0, 0.1, nullptr, nullptr);
  EXPECT_STREQ(n.GetNameForHost(), "");
  EXPECT_STREQ(n.GetLabelForHost(), "");
}

TEST(IParamTest, DisplayTextLookupsTakeTheFirstMatch) {
  IParam p;
  p.InitEnum("e", 0, 3, "units");
  EXPECT_STREQ(p.GetDisplayText(1), "");
  p.SetDisplayText(1, "one");
  p.SetDisplayText(1, "uno");
  p.SetDisplayText(2, "two");
  EXPECT_STREQ(p.GetDisplayText(1), "one");
  EXPECT_STREQ(p.GetDisplayText(5), "");

  int v = 42;
  EXPECT_TRUE(p.MapDisplayText("uno", &v));
  EXPECT_EQ(v, 1);
  v = 42;
  EXPECT_FALSE(p.MapDisplayText("Two", &v));
  EXPECT_EQ(v, 42);
  EXPECT_FALSE(p.MapDisplayText(nullptr, &v));

  // The label hides behind a display text for the current value only.
  p.Set(0);
  EXPECT_STREQ(p.GetLabelForHost(), "units");
  p.Set(2);
  EXPECT_STREQ(p.GetLabelForHost(), "");

  v = 42;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(3, &v), "");
  EXPECT_STREQ(p.GetDisplayTextAtIdx(-1, &v), "");
  EXPECT_EQ(v, 42);
}

TEST(IParamTest, IntTruncatesTowardZeroAndSaturates) {
  IParam p;
  p.InitDouble("x", 0.0, -1e20, 1e20, 0.1);
  p.Set(-2.9);
  EXPECT_EQ(p.Int(), -2);
  EXPECT_FALSE(p.Bool());
  p.Set(0.5);
  EXPECT_TRUE(p.Bool());
  p.Set(1e20);
  EXPECT_EQ(p.Int(), 2147483647);
}

TEST(IParamTest, DecibelsToAmplitude) {
  EXPECT_DOUBLE_EQ(DBToAmp(0.0), 1.0);
  EXPECT_NEAR(DBToAmp(-6.0), 0.501187, 1e-6);
  EXPECT_NEAR(DBToAmp(6.0), 1.995262, 1e-6);
  EXPECT_NEAR(DBToAmp(20.0), 10.0, 1e-9);
  IParam p;
  p.InitDouble("gain", -6.0, -60.0, 12.0, 0.1);
  EXPECT_NEAR(p.DBToAmp(), 0.501187, 1e-6);
}
