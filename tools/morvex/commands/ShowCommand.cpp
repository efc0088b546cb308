// morvex show: what a saved state holds, read through the unit itself.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/AudioUnitProperties.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/console/PrintableText.h"
#include "tools/morvex/console/RawListing.h"
#include "tools/morvex/console/TextTable.h"
#include "tools/morvex/output/StateFile.h"
#include "tools/morvex/settings/ParameterUnits.h"
#include "tools/morvex/settings/TypedInput.h"

namespace {

const char kUsage[] =
    "usage: morvex show [--raw] FILE.aupreset\n"
    "\n"
    "Prints what a saved state holds (a --save-state file or a user preset): the\n"
    "component it belongs to, its preset name, and each parameter's value, its\n"
    "range and what the value means to a listener, as 'morvex params' tells it\n"
    "(the sweep's frequencies are the same at every sample rate from 44.1 kHz\n"
    "up). A state of another component and a damaged file are refused, as\n"
    "--state refuses them.\n"
    "\n"
    "--raw  for scripts: only the parameters, in the form of 'morvex params --raw'\n"
    "       (see its --help).\n";

// The meanings hold at this rate and every higher one.
constexpr double kSampleRate = 44100.0;

bool parse(const std::vector<std::string>& argv, std::string* path, bool* raw) {
  ArgCursor args("show", argv);
  std::vector<std::string> files;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (args.flag("--raw")) {
      *raw = true;
      continue;
    }
    files.push_back(args.positional());
  }
  args.expectPositionals(files, {"FILE"});
  *path = files[0];
  if (path->empty()) args.fail("FILE needs a name");
  return true;
}

}  // namespace

int ShowCommand(const std::vector<std::string>& argv) {
  std::string path;
  bool raw = false;
  if (!parse(argv, &path, &raw)) return 0;
  const CFRef<CFDictionaryRef> state = ReadStateFile(path);
  Unit unit;
  // A fresh instance reports its defaults; read them before the state.
  const std::vector<ParameterDescription> parameters = unit.parameters();
  LoadStateFile(unit, path, state.get());
  if (raw) {
    PrintRawParameters(unit, parameters);
    return 0;
  }

  const StateIdentity identity = StateIdentityOf(state.get());
  char* pascalName = nullptr;
  GetComponentInfo(unit.component(), nullptr, &pascalName, nullptr, nullptr);
  const std::string componentName =
      pascalName ? std::string(pascalName + 1, static_cast<unsigned char>(pascalName[0])) : "";
  PrintTable({
      {"file", path},
      {"component", FourCharCodeText(identity.type) + " " + FourCharCodeText(identity.subtype) +
                        " " + FourCharCodeText(identity.manufacturer) + " (" + componentName + ")"},
      {"preset",
       PrintableText(ToStdString(CFDictionaryGetValue(state.get(), CFSTR(kAUPresetNameKey))))},
  });

  const std::vector<std::string> meanings = MeaningTexts(parameters, unit, kSampleRate);
  std::vector<std::vector<std::string>> rows = {{"name", "value", "range", "meaning"}};
  for (size_t i = 0; i < parameters.size(); ++i) {
    const ParameterDescription& p = parameters[i];
    rows.push_back({p.name, NumberText(unit.parameter(p.id)), RangeText(p), meanings[i]});
  }
  std::printf("\n");
  PrintTable(rows);
  std::printf("(%s)\n", SweepRateNote(kSampleRate).c_str());
  return 0;
}
