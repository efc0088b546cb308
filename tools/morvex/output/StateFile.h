#pragma once

#include <string>

#include "tools/auhost/CFRef.h"

// .aupreset files: a unit's saved state (the class-info dictionary) as an XML
// property list, the way Audio Unit hosts keep them.

// Reads and checks a state file: a dictionary holding the saved-state keys.
// Throws ToolError naming the file and what is wrong with it.
CFRef<CFDictionaryRef> ReadStateFile(const std::string& path);
// The same for a user preset, which must be a regular file: anything else in
// the presets' folder (a FIFO, a device, a folder) is refused without waiting.
CFRef<CFDictionaryRef> ReadUserPresetFile(const std::string& path);

class SafeOutput;
class Unit;

// Writes the state into an output, which the caller commits; throws ToolError.
void WriteStateFile(SafeOutput& output, CFPropertyListRef state);

// The component description a state dictionary was saved from.
struct StateIdentity {
  SInt32 type = 0;
  SInt32 subtype = 0;
  SInt32 manufacturer = 0;
};
StateIdentity StateIdentityOf(CFDictionaryRef state);

// Loads a state read from `path` into the unit. Throws ToolError naming the
// file when another component saved it (saying which) or the unit refuses it.
void LoadStateFile(Unit& unit, const std::string& path, CFDictionaryRef state);

// A copy of the state under another preset name.
CFRef<CFDictionaryRef> RenamedState(CFDictionaryRef state, const std::string& name);
