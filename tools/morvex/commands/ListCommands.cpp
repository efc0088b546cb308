// The commands that tell what Morvex offers: presets, params and info.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/console/RawListing.h"
#include "tools/morvex/console/TextTable.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/StateFile.h"
#include "tools/morvex/settings/ParameterUnits.h"
#include "tools/morvex/settings/PresetChoice.h"
#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/settings/UserPresets.h"

namespace {

const char kPresetsUsage[] =
    "usage: morvex presets [--raw]\n"
    "\n"
    "Lists Morvex's factory presets, one a line: number, then name; then the\n"
    "user's own presets, which --save-preset NAME keeps as NAME.aupreset in\n"
    "$XDG_DATA_HOME/morvex/presets (~/.local/share/morvex/presets when\n"
    "XDG_DATA_HOME is unset), with the reason beside any that cannot be used.\n"
    "A number or any of the names can be given to --preset; a factory name wins\n"
    "over a user preset of the same name.\n"
    "\n"
    "--raw  for scripts: one preset a line and nothing else, three fields\n"
    "       separated by tabs: 'factory' or 'user', the number ('-' for a user\n"
    "       preset) and the name, with backslash, tab and newline written as\n"
    "       \\\\, \\t and \\n. This form stays the same from version to version.\n";

const char kParamsUsage[] =
    "usage: morvex params [--preset NAME|NUMBER] [--sample-rate HZ] [--raw]\n"
    "\n"
    "Lists Morvex's parameters: name, current value (after --preset, a factory or\n"
    "user preset, when given), range, default and what the value means to a\n"
    "listener: Mix as the dry and wet shares\n"
    "of the output's power, Stages as sections, Freq as the bottom of the sweep,\n"
    "Feedback as a signed percentage, Spread as the sections' Q, Rate as the time\n"
    "of one sweep up and down, Depth as the sweep's span. The sweep's frequencies\n"
    "are the same at every sample rate; only below 44.1 kHz (--sample-rate, default\n"
    "44100 Hz) is its top held lower, under the Nyquist frequency.\n"
    "\n"
    "Names ignore case in 'morvex render --set NAME=VALUE', and each value may\n"
    "also be given in those units: Mix=30%wet, Stages=4sections, Freq=300Hz,\n"
    "Feedback=-40%, Spread=Q0.7, Rate=2s or Rate=0.5Hz, Depth=3oct.\n"
    "\n"
    "--raw  for scripts: one parameter a line and nothing else, eight fields\n"
    "       separated by tabs: index, name, minimum, maximum, default, unit, the\n"
    "       current value to full precision and the text the effect displays.\n"
    "       This form stays the same from version to version.\n";

const char kInfoUsage[] =
    "usage: morvex info\n"
    "\n"
    "Shows the component's name, manufacturer, version, type, subtype and\n"
    "manufacturer codes, channel layouts (inputs-outputs), latency, tail time\n"
    "and the bundle it was loaded from.\n";

// What the listing commands take besides --help; each command names the
// ones it accepts.
struct ListOptions {
  enum Accepted { kNone = 0, kRaw = 1, kPreset = 2, kSampleRate = 4 };
  std::string preset;
  double sampleRate = 44100.0;
  bool raw = false;
};

// Parses a command that takes no arguments but --help and the options it
// accepts; false when help was shown.
bool parseSimple(const char* command, const char* usage, const std::vector<std::string>& argv,
                 int accepted = ListOptions::kNone, ListOptions* options = nullptr) {
  ArgCursor args(command, argv);
  std::vector<std::string> none;
  std::string rate;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(usage, stdout);
      return false;
    }
    if ((accepted & ListOptions::kRaw) && args.flag("--raw")) {
      options->raw = true;
      continue;
    }
    if ((accepted & ListOptions::kPreset) && args.option("--preset", &options->preset)) continue;
    if ((accepted & ListOptions::kSampleRate) && args.option("--sample-rate", &rate)) {
      options->sampleRate =
          static_cast<double>(ParseCount(args, "--sample-rate", rate, 8000, 384000));
      continue;
    }
    none.push_back(args.positional());
  }
  args.expectPositionals(none, {});
  return true;
}

std::string versionText(long version) {
  return std::to_string((version >> 16) & 0xFFFF) + "." + std::to_string((version >> 8) & 0xFF) +
         "." + std::to_string(version & 0xFF);
}

}  // namespace

int PresetsCommand(const std::vector<std::string>& argv) {
  ListOptions options;
  if (!parseSimple("presets", kPresetsUsage, argv, ListOptions::kRaw, &options)) return 0;
  Unit unit;
  const std::vector<PresetDescription> factory = unit.factoryPresets();
  if (options.raw) {
    for (const PresetDescription& preset : factory)
      PrintRawRow({"factory", std::to_string(preset.number), preset.name});
    const std::string folder = UserPresetFolder();
    if (!folder.empty()) {
      for (const UserPresetFile& preset : UserPresetFiles(folder))
        PrintRawRow({"user", "-", preset.name});
    }
    return 0;
  }
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
  ListOptions options;
  if (!parseSimple("params", kParamsUsage, argv,
                   ListOptions::kRaw | ListOptions::kPreset | ListOptions::kSampleRate, &options))
    return 0;
  Unit unit;
  // A fresh instance reports its defaults; read them before any preset.
  const std::vector<ParameterDescription> parameters = unit.parameters();
  if (!options.preset.empty()) SelectPreset(unit, options.preset);
  if (options.raw) {
    PrintRawParameters(unit, parameters);
    return 0;
  }
  const std::vector<std::string> meanings = MeaningTexts(parameters, unit, options.sampleRate);
  // The plug-in API's unit kinds and the effect's display of the bare value
  // say nothing the value and its meaning do not: they stay in --raw.
  std::vector<std::vector<std::string>> rows = {{"name", "value", "range", "default", "meaning"}};
  for (size_t i = 0; i < parameters.size(); ++i) {
    const ParameterDescription& p = parameters[i];
    rows.push_back({p.name, NumberText(unit.parameter(p.id)), RangeText(p),
                    NumberText(p.defaultValue), meanings[i]});
  }
  PrintTable(rows);
  std::printf("(%s)\n", SweepRateNote(options.sampleRate).c_str());
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
