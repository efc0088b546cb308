#include "tools/morvex/console/RawListing.h"

#include <cstdio>

namespace {

std::string rawField(const std::string& text) {
  std::string field;
  for (const char c : text) {
    switch (c) {
      case '\\':
        field += "\\\\";
        break;
      case '\t':
        field += "\\t";
        break;
      case '\n':
        field += "\\n";
        break;
      default:
        field += c;
    }
  }
  return field;
}

// Exact, so that scripts can tell any two values apart.
std::string exactNumberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

const char* unitName(AudioUnitParameterUnit unit) {
  static const char* const kNames[] = {
      "generic", "indexed", "boolean",   "percent",   "seconds",   "frames",  "phase",
      "rate",    "Hz",      "cents",     "semitones", "MIDI note", "MIDI CC", "dB",
      "gain",    "degrees", "crossfade", "fader",     "pan",       "meters",  "abs. cents",
      "octaves", "BPM",     "beats",     "ms",        "ratio",     "custom"};
  return unit < sizeof kNames / sizeof kNames[0] ? kNames[unit] : "?";
}

}  // namespace

void PrintRawRow(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields)
    line += (line.empty() ? "" : "\t") + rawField(field);
  std::printf("%s\n", line.c_str());
}

void PrintRawParameters(const Unit& unit, const std::vector<ParameterDescription>& parameters) {
  for (const ParameterDescription& p : parameters) {
    const float value = unit.parameter(p.id);
    PrintRawRow({std::to_string(p.id), p.name, exactNumberText(p.minValue),
                 exactNumberText(p.maxValue), exactNumberText(p.defaultValue), unitName(p.unit),
                 exactNumberText(value), unit.displayText(p.id, value)});
  }
}
