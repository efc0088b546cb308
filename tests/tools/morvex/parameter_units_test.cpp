// Values given in a listener's units land where the engine's laws put them,
// on the real component at 48 kHz.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "effect/Morvex.h"
#include "effect/dsp/CLfo.h"
#include "effect/dsp/CPhaser.h"
#include "platform/HostComponents.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/settings/ParameterUnits.h"

namespace {

constexpr double kRate = 48000.0;

class ParameterUnits : public testing::Test {
 protected:
  void SetUp() override {
    setenv("AUDIOUNIT_PATH", MORVEX_BUNDLE, 1);
    HostRescanComponents();
    unit = std::make_unique<Unit>();
    unit->configure(2, kRate, 512);
    parameters = unit->parameters();
  }

  // The value the text asks for; fails the test when it is not units.
  UnitsValue Value(int id, const std::string& text) {
    const auto value = ValueFromUnits(parameters[id], text, *unit, kRate);
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(UnitsValue{NAN, "", false});
  }

  std::unique_ptr<Unit> unit;
  std::vector<ParameterDescription> parameters;
};

TEST_F(ParameterUnits, ContinuousQuantitiesLandWithinAStepOfWhatWasAsked) {
  const auto bottom = [](double v) { return CPhaser::sweepBottomHz(v, kRate); };
  for (double hz : {40.0, 100.0, 300.0, 1000.0, 4000.0, 12000.0}) {
    const double v = Value(Morvex::kFreq, std::to_string(hz) + "Hz").value;
    // The parameter moves in hundredths.
    EXPECT_LE(std::fabs(bottom(v) - hz), std::fabs(bottom(std::fmin(v + 0.01, 1.0)) - bottom(v)))
        << hz << " Hz";
  }
  EXPECT_EQ(Value(Morvex::kFreq, "1.2kHz").value, Value(Morvex::kFreq, "1200 Hz").value);

  const double feedback = Value(Morvex::kFeedback, "-40%").value;
  EXPECT_NEAR(CPhaser::feedbackGain(feedback), -0.40, 1e-6);
  EXPECT_NEAR(CPhaser::sectionQ(Value(Morvex::kSpread, "Q0.7").value), 0.7, 1e-6);
  EXPECT_EQ(Value(Morvex::kSpread, "q 0.7").value, Value(Morvex::kSpread, "0.7Q").value);

  const float mix = Value(Morvex::kMix, "30%wet").value;
  const double dry = CPhaser::dryGain(Morvex::DryShare(mix));
  const double wet = CPhaser::wetGain(Morvex::DryShare(mix));
  EXPECT_NEAR(wet * wet / (dry * dry + wet * wet), 0.30, 1e-6);
  EXPECT_EQ(Value(Morvex::kMix, "70% dry").value, mix);
}

TEST_F(ParameterUnits, SteppedQuantitiesTakeTheNearestStep) {
  // Rate moves through 128 steps: no step comes nearer than the one chosen.
  const std::pair<const char*, double> asks[] = {{"0.1s", 0.1}, {"0.5s", 0.5}, {"2s", 2.0},
                                                 {"7s", 7.0},   {"60s", 60.0}, {"250ms", 0.25},
                                                 {"0.5Hz", 2.0}};
  for (const auto& [asked, wanted] : asks) {
    const double chosen = CPhaser::sweepSeconds(Value(Morvex::kRate, asked).value);
    for (int step = 1; step < 128; ++step) {
      const double other = CPhaser::sweepSeconds((step + 0.5) / 127.0);
      EXPECT_LE(std::fabs(std::log(chosen / wanted)), std::fabs(std::log(other / wanted)) + 1e-12)
          << asked << " against step " << step;
    }
  }
  EXPECT_EQ(Value(Morvex::kRate, "0.5Hz").value, Value(Morvex::kRate, "2s").value);
  EXPECT_TRUE(std::isinf(CPhaser::sweepSeconds(Value(Morvex::kRate, "0Hz").value)));

  EXPECT_EQ(Value(Morvex::kStages, "4sections").value, 3.0f);
  EXPECT_EQ(Value(Morvex::kStages, "1 section").value, 0.0f);

  // Depth at the current Freq, within one entry of the sweep's table.
  unit->setParameter(Morvex::kFreq, 0.2f);
  const double depth = Value(Morvex::kDepth, "3oct").value;
  const double octaves =
      std::log2(CPhaser::sweepTopHz(0.2f, depth, kRate) / CPhaser::sweepBottomHz(0.2f, kRate));
  EXPECT_NEAR(octaves, 3.0, std::log2(1.0048168));
}

TEST_F(ParameterUnits, SaysWhatAnApproachedValueGivesAndRefusesOtherTexts) {
  const UnitsValue rate = Value(Morvex::kRate, "2s");
  EXPECT_FALSE(rate.exact);
  EXPECT_EQ(rate.meaning, "one sweep in 2.04 s");
  const UnitsValue feedback = Value(Morvex::kFeedback, "-200%");
  EXPECT_EQ(feedback.value, 0.0f);
  EXPECT_FALSE(feedback.exact);
  EXPECT_EQ(feedback.meaning, "-94%");
  EXPECT_TRUE(Value(Morvex::kFeedback, "25%").exact);

  for (const auto& [id, text] : {std::pair{Morvex::kMix, "30%"},
                                 {Morvex::kMix, "0.3"},
                                 {Morvex::kRate, "2 parsecs"},
                                 {Morvex::kFreq, "nanHz"},
                                 {Morvex::kStages, "4oct"},
                                 {Morvex::kDepth, ""}})
    EXPECT_FALSE(ValueFromUnits(parameters[id], text, *unit, kRate).has_value()) << text;
}

// However far past a parameter's reach a quantity is, it takes the nearest
// end, as one just past it does: never a value from the middle or the other
// end, which is where floating point left huge asks.
TEST_F(ParameterUnits, QuantitiesBeyondReachTakeTheNearestEndAtAnyMagnitude) {
  const struct {
    int id;
    const char* justPast;
    std::vector<const char*> farPast;
  } cases[] = {
      {Morvex::kDepth, "100oct", {"1e17oct", "1e18oct", "1e300oct"}},
      {Morvex::kDepth, "-1oct", {"-1e17oct", "-1e300oct"}},
      {Morvex::kRate, "1ms", {"5e-324s", "1e-300s", "1e-17ms"}},
      {Morvex::kRate, "1000Hz", {"1e300Hz", "1e17Hz"}},
      {Morvex::kFreq, "100kHz", {"1e300Hz", "1e17kHz"}},
      {Morvex::kFreq, "1Hz", {"5e-324Hz", "1e-300kHz"}},
      {Morvex::kFeedback, "200%", {"1e300%", "1e17%"}},
      {Morvex::kSpread, "Q100", {"Q1e300"}},
      {Morvex::kMix, "-5%wet", {"-1e300%wet"}},
  };
  for (const auto& c : cases) {
    const float end = Value(c.id, c.justPast).value;
    EXPECT_TRUE(end == parameters[c.id].minValue || end == parameters[c.id].maxValue)
        << c.justPast << " gives " << end;
    for (const char* far : c.farPast)
      EXPECT_EQ(Value(c.id, far).value, end) << far << " against " << c.justPast;
  }
}

TEST_F(ParameterUnits, MeaningsFollowTheValuesAndTheSampleRate) {
  const std::pair<int, float> settings[] = {{Morvex::kMix, 0.3f},    {Morvex::kStages, 0.0f},
                                            {Morvex::kFreq, 0.4f},   {Morvex::kFeedback, 0.25f},
                                            {Morvex::kSpread, 1.0f}, {Morvex::kRate, 0.0f},
                                            {Morvex::kDepth, 0.5f}};
  for (const auto& [id, value] : settings)
    unit->setParameter(static_cast<AudioUnitParameterID>(id), value);
  const std::vector<std::string> at48 = MeaningTexts(parameters, *unit, kRate);
  EXPECT_EQ(at48[Morvex::kMix], "dry 79% / wet 21%");
  EXPECT_EQ(at48[Morvex::kStages], "1 section");
  EXPECT_EQ(at48[Morvex::kFeedback], "-47%");
  EXPECT_EQ(at48[Morvex::kSpread], "Q 0.395");
  EXPECT_EQ(at48[Morvex::kRate], "no sweep");
  // The sweep sounds the same at every rate; only below 44.1 kHz is its top
  // held under the Nyquist frequency.
  char bottom[64];
  std::snprintf(bottom, sizeof bottom, "sweep from %.3g Hz",
                22050.0 * 2.0 / 44100.0 * 32.0 * std::pow(2.0, 9.42849 * std::pow(0.4f, 1.06)) *
                    CLfo::multiplier(0));
  EXPECT_EQ(at48[Morvex::kFreq], bottom);
  EXPECT_EQ(MeaningTexts(parameters, *unit, 44100.0), at48);
  EXPECT_EQ(MeaningTexts(parameters, *unit, 192000.0), at48);
  unit->setParameter(Morvex::kDepth, 1.0f);
  const std::vector<std::string> at8 = MeaningTexts(parameters, *unit, 8000.0);
  const std::vector<std::string> at96 = MeaningTexts(parameters, *unit, 96000.0);
  EXPECT_THAT(at96[Morvex::kDepth], testing::EndsWith("up to 21.7 kHz"));
  EXPECT_THAT(at8[Morvex::kDepth], testing::EndsWith("up to 3.93 kHz"));
  EXPECT_EQ(SweepRateNote(96000.0), "the sweep's frequencies are the same at every sample rate");
  EXPECT_EQ(SweepRateNote(8000.0),
            "the sweep's frequencies are the same at every sample rate, but at 8000 Hz the top "
            "is held at 3.93 kHz");
}

}  // namespace
