#include "tools/morvex/settings/ParameterUnits.h"

std::vector<std::string> MeaningTexts(const std::vector<ParameterDescription>& parameters,
                                      const Unit& unit, double sampleRate) {
  const double freq = unit.parameter(SweepBottomParameter());
  std::vector<std::string> texts;
  for (const ParameterDescription& p : parameters)
    texts.push_back(MeaningText(static_cast<int>(p.id), unit.parameter(p.id), freq, sampleRate));
  return texts;
}

std::string UnitExamples(const ParameterDescription& parameter) {
  return UnitExamples(static_cast<int>(parameter.id));
}

std::optional<UnitsValue> ValueFromUnits(const ParameterDescription& parameter,
                                         const std::string& text, const Unit& unit,
                                         double sampleRate) {
  const ParameterRange range{parameter.minValue, parameter.maxValue,
                             parameter.unit == kAudioUnitParameterUnit_Indexed};
  return ValueFromUnits(static_cast<int>(parameter.id), range, text,
                        unit.parameter(SweepBottomParameter()), sampleRate);
}
