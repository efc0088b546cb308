// The unit law as the editor uses it: the text a field opens with reads back
// as the same meaning, and typed text is a quantity, a bare number in the
// parameter's range, or nothing.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "effect/Morvex.h"
#include "effect/ParameterMeaning.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kFreq = 0.3;

ParameterRange RangeOf(int param) {
  return param == Morvex::kStages ? ParameterRange{0.0, 5.0, true}
                                  : ParameterRange{0.0, 1.0, false};
}

// Whatever value a parameter holds, the field's text names a value that
// means the same to a listener, to the digits the meaning shows.
TEST(ParameterMeaning, TheFieldsTextReadsBackAsTheSameMeaning) {
  for (int p = 0; p < Morvex::kNumParams; ++p) {
    const ParameterRange range = RangeOf(p);
    const int steps = range.indexed ? 5 : 40;
    for (int i = 0; i <= steps; ++i) {
      const double value = range.minValue + (range.maxValue - range.minValue) * i / steps;
      const std::string text = UnitsText(p, range, value, kFreq, kRate);
      SCOPED_TRACE(std::to_string(p) + " at " + std::to_string(value) + ": " + text);
      ASSERT_FALSE(text.empty());
      const auto back = ValueFromText(p, range, text, kFreq, kRate);
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(MeaningText(p, *back, kFreq, kRate), MeaningText(p, value, kFreq, kRate));
    }
  }
  EXPECT_EQ(UnitsText(Morvex::kStages, RangeOf(Morvex::kStages), 3.0, kFreq, kRate), "4sections");
  EXPECT_EQ(UnitsText(Morvex::kFeedback, RangeOf(Morvex::kFeedback), 0.0, kFreq, kRate).back(),
            '%');
  EXPECT_EQ(UnitsText(Morvex::kSpread, RangeOf(Morvex::kSpread), 0.5, kFreq, kRate).front(), 'Q');
}

// A bare number must be all the text and lie in the range, whole for
// Stages; a decimal comma locale changes nothing.
TEST(ParameterMeaning, TypedTextIsAQuantityABareNumberInRangeOrNothing) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed; "C" otherwise
  const ParameterRange mix = RangeOf(Morvex::kMix), stages = RangeOf(Morvex::kStages);
  EXPECT_EQ(ValueFromText(Morvex::kMix, mix, "0.25", kFreq, kRate), 0.25);
  EXPECT_EQ(ValueFromText(Morvex::kMix, mix, " +1 ", kFreq, kRate), 1.0);
  EXPECT_EQ(ValueFromText(Morvex::kStages, stages, "3", kFreq, kRate), 3.0);
  EXPECT_EQ(ValueFromText(Morvex::kStages, stages, "2sections", kFreq, kRate), 1.0);
  for (const char* bad :
       {"", " ", "1.5", "-0.1", "12 parsecs", "0.5x", "nan", "1e999", "0,5", "Hz", "3oct"}) {
    EXPECT_FALSE(ValueFromText(Morvex::kMix, mix, bad, kFreq, kRate).has_value()) << bad;
  }
  EXPECT_FALSE(ValueFromText(Morvex::kStages, stages, "2.5", kFreq, kRate).has_value());
  EXPECT_FALSE(ValueFromText(Morvex::kStages, stages, "6", kFreq, kRate).has_value());
  std::setlocale(LC_ALL, "C");
}

}  // namespace

// What a user types reads back in the readout as the quantity typed: the
// readout's value is the listing's meaning less what the value does to the
// sweep, so the two never tell different numbers.
TEST(ParameterMeaning, TheReadoutTellsTheTypedQuantityAndTheListingHoldsIt) {
  struct Example {
    int param;
    const char* typed;
    const char* shown;
  };
  const Example examples[] = {
      {Morvex::kMix, "21%wet", "dry 79% / wet 21%"},
      {Morvex::kStages, "4sections", "4 sections"},
      {Morvex::kFreq, "230Hz", "230 Hz"},
      {Morvex::kFeedback, "-40%", "-40%"},
      {Morvex::kSpread, "Q0.7", "Q 0.7"},
      {Morvex::kRate, "3.91s", "one sweep in 3.91 s"},
      {Morvex::kDepth, "3oct", "3 octaves"},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.typed);
    const auto value = ValueFromText(e.param, RangeOf(e.param), e.typed, kFreq, kRate);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(ValueText(e.param, *value, kFreq, kRate), e.shown);
  }
  for (int p = 0; p < Morvex::kNumParams; ++p) {
    for (int i = 0; i <= 20; ++i) {
      const ParameterRange range = RangeOf(p);
      const double value = range.minValue + (range.maxValue - range.minValue) * i / 20;
      const std::string shown = ValueText(p, value, kFreq, kRate);
      ASSERT_FALSE(shown.empty()) << p;
      EXPECT_NE(MeaningText(p, value, kFreq, kRate).find(shown), std::string::npos) << shown;
    }
  }
}
