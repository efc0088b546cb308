#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"

// Morvex's parameters in the units a listener thinks in, computed from the
// engine's own laws: Mix as dry and wet shares of the output's power, Stages
// as sections, Freq as the bottom of the sweep in Hz, Feedback as a signed
// percentage, Spread as the sections' Q, Rate as the time of one sweep up
// and down, Depth as the sweep's span in octaves. The sweep's frequencies
// are the same at every sample rate, except that below 44.1 kHz its top is
// held under the Nyquist frequency.

// What each parameter's current value in the unit means, one text each.
std::vector<std::string> MeaningTexts(const std::vector<ParameterDescription>& parameters,
                                      const Unit& unit, double sampleRate);

// What the sample rate does to the sweep's frequencies, for a note under
// the meanings.
std::string SweepRateNote(double sampleRate);

// The units a parameter takes in ValueFromUnits, as examples ("2s, 500ms,
// 0.5Hz"); empty for none.
std::string UnitExamples(const ParameterDescription& parameter);

struct UnitsValue {
  float value;          // the parameter value that comes nearest
  std::string meaning;  // what that value gives, in the units asked for
  bool exact;           // whether it gives what was asked, to three digits
};

// The parameter value nearest to a quantity in one of the parameter's
// units, such as "2s", "0.5Hz", "300Hz", "-40%", "4sections", "30%wet",
// "Q0.7" or "3oct"; Depth is measured at the unit's current Freq. Nothing
// when the text is not a number followed by one of them.
std::optional<UnitsValue> ValueFromUnits(const ParameterDescription& parameter,
                                         const std::string& text, const Unit& unit,
                                         double sampleRate);
