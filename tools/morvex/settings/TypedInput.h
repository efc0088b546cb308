#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"

// Turning what a user typed into the unit's presets, parameters and values.
// Mistakes are usage errors that name what was typed and what would do.

bool EqualsIgnoringCase(const std::string& a, const std::string& b);
// "0.5", "1", "-3.25": the shortest text that reads back as the value.
std::string NumberText(double value);
// "0 to 1": a parameter's range as the tables show it.
std::string RangeText(const ParameterDescription& parameter);

// A factory preset by its number or (ignoring case) its name; the first of
// equal names; null when none is.
const PresetDescription* FindFactoryPreset(const std::vector<PresetDescription>& presets,
                                           const std::string& text);

// A parameter by name, ignoring case.
const ParameterDescription& FindParameter(const std::vector<ParameterDescription>& parameters,
                                          const std::string& name, const std::string& context);

struct ParameterValue {
  float value;
  // Empty, or what the value gives when it only comes near what was asked.
  std::string note;
};

// A value in the parameter's own units, one of its display texts (turned
// into a value by the unit itself), or a quantity in a listener's units
// (ParameterUnits.h) at the unit's sample rate; a value must lie in the
// parameter's range, and be whole for an indexed parameter.
ParameterValue ParseParameterValue(const Unit& unit, const ParameterDescription& parameter,
                                   const std::string& text, const std::string& context);

// Where the notes on values that could only be approached go: standard
// error, or a caller that gathers them (a batch tells them once at the end).
using NoteSink = std::function<void(const std::string& note)>;
// "morvex: NOTE" on standard error.
void PrintNote(const std::string& note);

// Applies "NAME=VALUE" to the unit; a note tells what a quantity that could
// only be approached gives.
void ApplySetting(Unit& unit, const std::vector<ParameterDescription>& parameters,
                  const std::string& setting, const NoteSink& note = PrintNote);
