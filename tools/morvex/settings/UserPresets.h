#pragma once

#include <string>
#include <vector>

#include "framework/au/UserPresets.h"

// The user's own presets, in the folder the editor keeps them in too
// (framework/au/UserPresets.h says where), as the tool's options speak of
// them.

// The folder; empty when neither XDG_DATA_HOME nor HOME says where it is.
std::string UserPresetFolder();

// The file a user preset of this name is saved as; empty when the name is,
// or when there is no folder.
std::string UserPresetPath(const std::string& name);

// Throws UsageError naming the option when a (non-empty) NAME cannot be a
// preset's file name: holding '/' or a control character, starting with '.'
// (hidden, or a way out of the folder), not UTF-8 or longer than 200 bytes.
void CheckUserPresetName(const std::string& option, const std::string& name);

// The *.aupreset entries of the folder, sorted by name ignoring case (then
// byte by byte); none when the folder does not exist. Throws ToolError when
// it exists but cannot be read.
std::vector<UserPresetFile> UserPresetFiles(const std::string& folder);

// The preset named `name`, ignoring case as factory names do (an exact match
// first); null when there is none.
const UserPresetFile* FindUserPreset(const std::vector<UserPresetFile>& presets,
                                     const std::string& name);
