#include "tools/morvex/UnitSettings.h"

#include "tools/auhost/Unit.h"
#include "tools/morvex/ArgCursor.h"
#include "tools/morvex/Selection.h"
#include "tools/morvex/StateFile.h"
#include "tools/morvex/ToolError.h"

namespace {

void loadState(Unit& unit, const std::string& path, CFDictionaryRef state) {
  ComponentDescription own;
  GetComponentInfo(unit.component(), &own, nullptr, nullptr, nullptr);
  const StateIdentity saved = StateIdentityOf(state);
  if (static_cast<OSType>(saved.type) != own.componentType ||
      static_cast<OSType>(saved.subtype) != own.componentSubType ||
      static_cast<OSType>(saved.manufacturer) != own.componentManufacturer)
    throw ToolError(path + ": saved by another component (" + FourCharCodeText(saved.type) + " " +
                    FourCharCodeText(saved.subtype) + " " + FourCharCodeText(saved.manufacturer) +
                    "), not Morvex");
  const OSStatus status = unit.setState(state);
  if (status != noErr)
    throw ToolError(path + ": Morvex refused the saved state (" + StatusText(status) +
                    "; its data is missing or damaged)");
}

}  // namespace

bool UnitSettings::parseOption(ArgCursor& args) {
  if (args.namedOption("--preset", &preset)) return true;
  if (args.namedOption("--state", &statePath)) return true;
  if (args.namedOption("--save-state", &saveStatePath)) return true;
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
  if (!preset.empty()) unit.selectPreset(FindPreset(unit.factoryPresets(), preset));
  if (mState) loadState(unit, statePath, mState.get());
  if (settings.empty()) return;
  const std::vector<ParameterDescription> parameters = unit.parameters();
  for (const std::string& setting : settings)
    ApplySetting(unit, parameters, setting, note);
}
