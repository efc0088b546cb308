#include "tools/morvex/settings/TypedInput.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/settings/ParameterUnits.h"

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string NumberText(double value) {
  char text[32];
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  std::snprintf(text, sizeof text, "%.9g", value);
  // Prefer the short form when it reads back as the same float.
  for (int digits = 1; digits <= 9; ++digits) {
    char shorter[32];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
    if (static_cast<float>(std::strtod(shorter, nullptr)) == static_cast<float>(value))
      return shorter;
  }
  return text;
}

std::string RangeText(const ParameterDescription& parameter) {
  return NumberText(parameter.minValue) + " to " + NumberText(parameter.maxValue);
}

const PresetDescription* FindFactoryPreset(const std::vector<PresetDescription>& presets,
                                           const std::string& text) {
  const bool isNumber = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  for (const PresetDescription& preset : presets) {
    if (isNumber ? std::to_string(preset.number) == text : EqualsIgnoringCase(preset.name, text))
      return &preset;
  }
  return nullptr;
}

const ParameterDescription& FindParameter(const std::vector<ParameterDescription>& parameters,
                                          const std::string& name, const std::string& context) {
  for (const ParameterDescription& parameter : parameters)
    if (EqualsIgnoringCase(parameter.name, name)) return parameter;
  std::string known;
  for (const ParameterDescription& parameter : parameters)
    known += (known.empty() ? "" : ", ") + parameter.name;
  throw UsageError(context + ": no parameter named '" + name + "' (Morvex has " + known + ")");
}

ParameterValue ParseParameterValue(const Unit& unit, const ParameterDescription& parameter,
                                   const std::string& text, const std::string& context) {
  const std::string range =
      NumberText(parameter.minValue) + " to " + NumberText(parameter.maxValue);
  if (const auto quantity = ValueFromUnits(parameter, text, unit, unit.sampleRate())) {
    if (quantity->exact) return {quantity->value, ""};
    return {quantity->value, context + ": " + parameter.name + " " + NumberText(quantity->value) +
                                 " is the nearest: " + quantity->meaning};
  }
  float value = NAN;
  for (const std::string& known : parameter.valueStrings)
    if (EqualsIgnoringCase(known, text)) value = unit.valueFromText(parameter.id, known);
  if (std::isnan(value)) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(number)) {
      std::string texts;
      for (const std::string& known : parameter.valueStrings)
        texts += ", " + known;
      const std::string quantities = UnitExamples(parameter);
      throw UsageError(context + ": '" + text + "' is not a value of " + parameter.name +
                       " (a number from " + range + texts +
                       (quantities.empty() ? "" : ", or as " + quantities) + ")");
    }
    value = static_cast<float>(number);
  }
  if (!(value >= parameter.minValue && value <= parameter.maxValue))
    throw UsageError(context + ": " + text + " is outside the range of " + parameter.name + ", " +
                     range);
  // An indexed parameter would store the fraction and act on a truncation.
  if (parameter.unit == kAudioUnitParameterUnit_Indexed && value != std::trunc(value))
    throw UsageError(context + ": " + parameter.name + " takes whole numbers (" + range +
                     "), not " + text);
  return {value, ""};
}

void PrintNote(const std::string& note) {
  std::fprintf(stderr, "morvex: %s\n", note.c_str());
}

void ApplySetting(Unit& unit, const std::vector<ParameterDescription>& parameters,
                  const std::string& setting, const NoteSink& note) {
  const std::string context = "--set " + setting;
  const size_t equals = setting.find('=');
  if (equals == std::string::npos || equals == 0)
    throw UsageError(context + ": expected NAME=VALUE");
  const ParameterDescription& parameter =
      FindParameter(parameters, setting.substr(0, equals), context);
  const ParameterValue value =
      ParseParameterValue(unit, parameter, setting.substr(equals + 1), context);
  if (!value.note.empty()) note(value.note);
  unit.setParameter(parameter.id, value.value);
}
