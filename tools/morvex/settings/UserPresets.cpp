#include "tools/morvex/settings/UserPresets.h"

#include <cerrno>
#include <cstring>

#include "effect/MorvexIdentity.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/settings/TypedInput.h"

std::string UserPresetFolder() {
  return UserPresetFolder(kMorvexUserDataFolder);
}

std::string UserPresetPath(const std::string& name) {
  return UserPresetPath(UserPresetFolder(), name);
}

void CheckUserPresetName(const std::string& option, const std::string& name) {
  const std::string context = option + " " + name + ": a preset name ";
  switch (FaultInUserPresetName(name)) {
    case UserPresetNameFault::kNone:
      return;
    case UserPresetNameFault::kSlash:
      throw UsageError(context + "may not contain '/'");
    case UserPresetNameFault::kLeadingDot:
      throw UsageError(context + "may not start with '.'");
    case UserPresetNameFault::kControlCharacter:
      throw UsageError(option + ": a preset name may not contain control characters");
    case UserPresetNameFault::kNotUtf8:
      throw UsageError(option + ": a preset name must be UTF-8 text, which this is not");
    case UserPresetNameFault::kTooLong:
      throw UsageError(option + ": a preset name may be at most " +
                       std::to_string(kMaxUserPresetNameBytes) + " bytes long, not " +
                       std::to_string(name.size()));
  }
}

std::vector<UserPresetFile> UserPresetFiles(const std::string& folder) {
  std::vector<UserPresetFile> files;
  if (!ListUserPresets(folder, &files))
    throw ToolError(folder + ": cannot read the user presets (" + std::strerror(errno) + ")");
  return files;
}

const UserPresetFile* FindUserPreset(const std::vector<UserPresetFile>& presets,
                                     const std::string& name) {
  for (const UserPresetFile& preset : presets)
    if (preset.name == name) return &preset;
  for (const UserPresetFile& preset : presets)
    if (EqualsIgnoringCase(preset.name, name)) return &preset;
  return nullptr;
}
