#pragma once

#include <optional>
#include <string>

#include "tools/morvex/output/SafeOutput.h"

class Unit;
struct UnitSettings;

// Where the unit's state goes after the work: the file of --save-state and
// the user preset of --save-preset. Both are opened on construction, so that
// neither fails after the work, and committed together.
class StateOutputs {
 public:
  // Creates the user presets' folder when needed; throws ToolError naming
  // what cannot be written, or an existing file that `existing` keeps.
  explicit StateOutputs(const UnitSettings& settings,
                        SafeOutput::Existing existing = SafeOutput::Existing::Replace);
  // Writes the unit's state into each output; the user preset's carries the
  // preset's name.
  void write(const Unit& unit);
  // Moves each into place, and `audio` with them when given, all or none
  // (see SafeOutput::commitTogether); a note on standard error tells when a
  // user preset of that name was replaced.
  void commit(SafeOutput* audio = nullptr);

 private:
  std::optional<SafeOutput> mState;
  std::optional<SafeOutput> mPreset;
  std::string mPresetName;
  bool mReplacing = false;
};
