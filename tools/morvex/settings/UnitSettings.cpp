#include "tools/morvex/settings/UnitSettings.h"

#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/output/StateFile.h"
#include "tools/morvex/settings/PresetChoice.h"
#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/settings/UserPresets.h"

bool UnitSettings::parseOption(ArgCursor& args) {
  if (args.namedOption("--preset", &preset)) return true;
  if (args.namedOption("--state", &statePath)) return true;
  if (args.namedOption("--save-state", &saveStatePath)) return true;
  if (args.namedOption("--save-preset", &savePresetName)) {
    CheckUserPresetName("--save-preset", savePresetName);
    return true;
  }
  std::string value;
  if (!args.option("--set", &value)) return false;
  if (value.find('=') == std::string::npos || value[0] == '=')
    args.fail("--set " + value + ": expected NAME=VALUE");
  settings.push_back(value);
  return true;
}

void UnitSettings::readState() {
  if (!statePath.empty()) mState = ReadStateFile(statePath);
}

void UnitSettings::apply(Unit& unit, const NoteSink& note) const {
  if (!preset.empty()) SelectPreset(unit, preset, note);
  if (mState) LoadStateFile(unit, statePath, mState.get());
  if (settings.empty()) return;
  const std::vector<ParameterDescription> parameters = unit.parameters();
  for (const std::string& setting : settings)
    ApplySetting(unit, parameters, setting, note);
}
