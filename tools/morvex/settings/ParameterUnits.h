#pragma once

#include <optional>
#include <string>
#include <vector>

#include "effect/ParameterMeaning.h"
#include "tools/auhost/Unit.h"

// The effect's unit law (effect/ParameterMeaning.h) read off a loaded unit:
// its current values and its parameters' descriptions.

// What each parameter's current value in the unit means, one text each.
std::vector<std::string> MeaningTexts(const std::vector<ParameterDescription>& parameters,
                                      const Unit& unit, double sampleRate);

// The units a parameter takes in ValueFromUnits, as examples ("2s, 500ms,
// 0.5Hz"); empty for none.
std::string UnitExamples(const ParameterDescription& parameter);

// The parameter value nearest to a quantity in one of the parameter's
// units; Depth is measured at the unit's current Freq. Nothing when the
// text is not a number followed by one of them.
std::optional<UnitsValue> ValueFromUnits(const ParameterDescription& parameter,
                                         const std::string& text, const Unit& unit,
                                         double sampleRate);
