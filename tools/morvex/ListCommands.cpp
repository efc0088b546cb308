// The commands that tell what Morvex offers: presets, params and info.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/ArgCursor.h"
#include "tools/morvex/Commands.h"
#include "tools/morvex/ParameterUnits.h"
#include "tools/morvex/PresetChoice.h"
#include "tools/morvex/Selection.h"
#include "tools/morvex/StateFile.h"
#include "tools/morvex/TextTable.h"
#include "tools/morvex/ToolError.h"
#include "tools/morvex/UserPresets.h"

namespace {

const char kPresetsUsage[] =
    "usage: morvex presets\n"
    "\n"
    "Lists Morvex's factory presets, one a line: number, then name; then the\n"
    "user's own presets, which --save-preset NAME keeps as NAME.aupreset in\n"
    "$XDG_DATA_HOME/morvex/presets (~/.local/share/morvex/presets when\n"
    "XDG_DATA_HOME is unset), with the reason beside any that cannot be used.\n"
    "A number or any of the names can be given to --preset; a factory name wins\n"
    "over a user preset of the same name.\n";

const char kParamsUsage[] =
    "usage: morvex params [--preset NAME|NUMBER] [--sample-rate HZ]\n"
    "\n"
    "Lists Morvex's parameters: index, name, range, default, unit, the current\n"
    "value as the effect displays it (after --preset, a factory or user preset,\n"
    "when given) and what it means to a listener: Mix as the dry and wet shares\n"
    "of the output's power, Stages as sections, Freq as the bottom of the sweep,\n"
    "Feedback as a signed percentage, Spread as the sections' Q, Rate as the time\n"
    "of one sweep up and down, Depth as the sweep's span. The sweep's frequencies\n"
    "depend on the sample rate (default 44100 Hz): the engine is tuned for\n"
    "44.1 kHz, and at other rates they scale by 44100 / the rate.\n"
    "\n"
    "Names ignore case in 'morvex render --set NAME=VALUE', and each value may\n"
    "also be given in those units: Mix=30%wet, Stages=4sections, Freq=300Hz,\n"
    "Feedback=-40%, Spread=Q0.7, Rate=2s or Rate=0.5Hz, Depth=3oct.\n";

const char kInfoUsage[] =
    "usage: morvex info\n"
    "\n"
    "Shows the component's name, manufacturer, version, type, subtype and\n"
    "manufacturer codes, channel layouts (inputs-outputs), latency, tail time\n"
    "and the bundle it was loaded from.\n";

struct ParamsOptions {
  std::string preset;
  double sampleRate = 44100.0;
};

// Parses a command that takes no arguments but --help (and, for params, its
// options); false when help was shown.
bool parseSimple(const char* command, const char* usage, const std::vector<std::string>& argv,
                 ParamsOptions* params = nullptr) {
  ArgCursor args(command, argv);
  std::vector<std::string> none;
  std::string rate;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(usage, stdout);
      return false;
    }
    if (params && args.option("--preset", &params->preset)) continue;
    if (params && args.option("--sample-rate", &rate)) {
      params->sampleRate =
          static_cast<double>(ParseCount(args, "--sample-rate", rate, 8000, 384000));
      continue;
    }
    none.push_back(args.positional());
  }
  args.expectPositionals(none, {});
  return true;
}

const char* unitName(AudioUnitParameterUnit unit) {
  static const char* const kNames[] = {
      "generic", "indexed", "boolean",   "percent",   "seconds",   "frames",  "phase",
      "rate",    "Hz",      "cents",     "semitones", "MIDI note", "MIDI CC", "dB",
      "gain",    "degrees", "crossfade", "fader",     "pan",       "meters",  "abs. cents",
      "octaves", "BPM",     "beats",     "ms",        "ratio",     "custom"};
  return unit < sizeof kNames / sizeof kNames[0] ? kNames[unit] : "?";
}

std::string versionText(long version) {
  return std::to_string((version >> 16) & 0xFFFF) + "." + std::to_string((version >> 8) & 0xFF) +
         "." + std::to_string(version & 0xFF);
}

}  // namespace

int PresetsCommand(const std::vector<std::string>& argv) {
  if (!parseSimple("presets", kPresetsUsage, argv)) return 0;
  Unit unit;
  const std::vector<PresetDescription> factory = unit.factoryPresets();
  for (const PresetDescription& preset : factory)
    std::printf("%2d  %s\n", static_cast<int>(preset.number), preset.name.c_str());
  const std::string folder = UserPresetFolder();
  if (folder.empty()) {
    std::printf("user presets: none (%s)\n", NoUserPresetFolderReason().c_str());
    return 0;
  }
  const std::vector<UserPresetFile> user = UserPresetFiles(folder);
  std::printf("user presets (%s):%s\n", folder.c_str(), user.empty() ? " none" : "");
  std::vector<std::vector<std::string>> rows;
  for (const UserPresetFile& preset : user) {
    // Each is tried on the unit as --preset would load it.
    std::string remark;
    try {
      LoadStateFile(unit, preset.path, ReadUserPresetFile(preset.path).get());
    } catch (const ToolError& error) {
      const std::string reason = error.what(), prefix = preset.path + ": ";
      remark =
          "unusable: " +
          (reason.compare(0, prefix.size(), prefix) == 0 ? reason.substr(prefix.size()) : reason);
    }
    if (const PresetDescription* same = FindFactoryPreset(factory, preset.name))
      remark += (remark.empty() ? "" : "; ") + std::string("hidden by the factory preset ") +
                std::to_string(same->number) + " " + same->name;
    rows.push_back({"  ", preset.name});
    if (!remark.empty()) rows.back().push_back(remark);
  }
  PrintTable(rows);
  return 0;
}

int ParamsCommand(const std::vector<std::string>& argv) {
  ParamsOptions options;
  if (!parseSimple("params", kParamsUsage, argv, &options)) return 0;
  Unit unit;
  // A fresh instance reports its defaults; read them before any preset.
  const std::vector<ParameterDescription> parameters = unit.parameters();
  if (!options.preset.empty()) SelectPreset(unit, options.preset);
  const std::vector<std::string> meanings = MeaningTexts(parameters, unit, options.sampleRate);
  std::vector<std::vector<std::string>> rows = {
      {"index", "name", "range", "default", "unit", "current", "meaning"}};
  for (size_t i = 0; i < parameters.size(); ++i) {
    const ParameterDescription& p = parameters[i];
    rows.push_back({std::to_string(p.id), p.name,
                    NumberText(p.minValue) + " to " + NumberText(p.maxValue),
                    NumberText(p.defaultValue), unitName(p.unit),
                    unit.displayText(p.id, unit.parameter(p.id)), meanings[i]});
  }
  PrintTable(rows);
  std::printf("(the sweep's frequencies at %s Hz)\n", NumberText(options.sampleRate).c_str());
  return 0;
}

int InfoCommand(const std::vector<std::string>& argv) {
  if (!parseSimple("info", kInfoUsage, argv)) return 0;
  Unit unit;
  const Component component = unit.component();
  ComponentDescription description = {};
  char* pascalName = nullptr;
  GetComponentInfo(component, &description, &pascalName, nullptr, nullptr);
  const std::string fullName =
      pascalName ? std::string(pascalName + 1, static_cast<unsigned char>(pascalName[0])) : "";
  // Audio Unit names read "Manufacturer: Name".
  const size_t colon = fullName.find(": ");
  const std::string maker = colon == std::string::npos ? "" : fullName.substr(0, colon);
  const std::string name = colon == std::string::npos ? fullName : fullName.substr(colon + 2);

  const long version = CallComponentVersion(unit.au());
  std::string layouts;
  const std::vector<unsigned char> pairs = unit.getBytes(kAudioUnitProperty_SupportedNumChannels);
  for (size_t i = 0; i + sizeof(AUChannelInfo) <= pairs.size(); i += sizeof(AUChannelInfo)) {
    AUChannelInfo pair;
    std::memcpy(&pair, pairs.data() + i, sizeof pair);
    layouts += (layouts.empty() ? "" : " ") + std::to_string(pair.inChannels) + "-" +
               std::to_string(pair.outChannels);
  }
  const auto latency = unit.get<Float64>(kAudioUnitProperty_Latency);
  const auto tail = unit.get<Float64>(kAudioUnitProperty_TailTime);
  char versionHex[16];
  std::snprintf(versionHex, sizeof versionHex, "0x%08lX", version);

  PrintTable({
      {"name", name},
      {"manufacturer", maker},
      {"component name", fullName},
      {"version", versionText(version) + " (" + versionHex + ")"},
      {"type", FourCharCodeText(description.componentType)},
      {"subtype", FourCharCodeText(description.componentSubType)},
      {"manufacturer code", FourCharCodeText(description.componentManufacturer)},
      {"channel layouts", layouts + " (inputs-outputs)"},
      {"latency", NumberText(latency) + " s"},
      {"tail", NumberText(tail) + " s"},
      {"bundle", BundlePath(component)},
  });
  return 0;
}
