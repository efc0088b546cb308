#pragma once

#include <string>
#include <vector>

#include "tools/auhost/CFRef.h"
#include "tools/morvex/settings/TypedInput.h"

class ArgCursor;
class Unit;

// What a user sets on the unit before it works, in the order it applies:
// a factory or user preset, a saved state, then each NAME=VALUE; and where
// the state goes afterwards: a file, a user preset, or both.
struct UnitSettings {
  std::string preset;
  std::string statePath;
  std::string saveStatePath;
  std::string savePresetName;
  std::vector<std::string> settings;

  // Takes --preset, --state, --set, --save-state or --save-preset at the
  // cursor; false when the next argument is none of them.
  bool parseOption(ArgCursor& args);
  // Reads and checks the state file, so that a bad one fails before any
  // work; throws ToolError.
  void readState();
  // Applies the preset, the state and the settings; throws naming what the
  // unit refused. Values only approached are noted.
  void apply(Unit& unit, const NoteSink& note = PrintNote) const;

 private:
  CFRef<CFDictionaryRef> mState;
};
