#pragma once

#include <string>
#include <vector>

// The user's own presets: saved states kept as NAME.aupreset in one folder,
// $XDG_DATA_HOME/morvex/presets, or ~/.local/share/morvex/presets when
// XDG_DATA_HOME is unset, empty or not an absolute path (as the XDG base
// directory rules say). A HOME that is not an absolute path is ignored in the
// same way.

// The folder; empty when neither XDG_DATA_HOME nor HOME says where it is.
std::string UserPresetFolder();
// Why UserPresetFolder() is empty, for a message.
std::string NoUserPresetFolderReason();

// The file a user preset of this name is saved as; empty when the name is,
// or when there is no folder.
std::string UserPresetPath(const std::string& name);

// Throws UsageError naming the option when a (non-empty) NAME cannot be a
// preset's file name: holding '/' or a control character, starting with '.'
// (hidden, or a way out of the folder), not UTF-8 or longer than 200 bytes.
void CheckUserPresetName(const std::string& option, const std::string& name);

struct UserPresetFile {
  std::string name;  // the file name without ".aupreset"
  std::string path;
};

// The *.aupreset entries of the folder, sorted by name ignoring case (then
// byte by byte); none when the folder does not exist. Throws ToolError when
// it exists but cannot be read.
std::vector<UserPresetFile> UserPresetFiles(const std::string& folder);

// The preset named `name`, ignoring case as factory names do (an exact match
// first); null when there is none.
const UserPresetFile* FindUserPreset(const std::vector<UserPresetFile>& presets,
                                     const std::string& name);
