#pragma once

#include <string>

#include "tools/morvex/settings/TypedInput.h"

class Unit;

// Starts the unit from the preset a user named with --preset: a factory
// preset by number or name (ignoring case), else one of the user's presets by
// name (ignoring case), loaded with the checks --state makes. A note names
// the user preset used, or the one a factory preset of the same name hid. An
// unknown name is a usage error listing both kinds; a user preset that cannot
// be loaded fails naming its file.
void SelectPreset(Unit& unit, const std::string& text, const NoteSink& note = PrintNote);

// Throws UsageError when --save-preset NAME would save a preset that
// --preset NAME could never choose, since it chooses a factory preset by that
// number or name first.
void RefuseHiddenPresetName(const Unit& unit, const std::string& name);
