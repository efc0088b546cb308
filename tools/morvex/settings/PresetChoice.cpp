#include "tools/morvex/settings/PresetChoice.h"

#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/StateFile.h"
#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/settings/UserPresets.h"

namespace {

std::string knownPresets(const std::vector<PresetDescription>& factory, const std::string& folder,
                         const std::vector<UserPresetFile>& user) {
  std::string known = "Morvex has ";
  for (size_t i = 0; i < factory.size(); ++i)
    known += (i ? ", " : "") + std::to_string(factory[i].number) + " " + factory[i].name;
  if (folder.empty()) return known;
  if (user.empty()) return known + "; no user presets in " + folder;
  known += "; user presets in " + folder + ": ";
  for (size_t i = 0; i < user.size(); ++i)
    known += (i ? ", " : "") + user[i].name;
  return known;
}

}  // namespace

void SelectPreset(Unit& unit, const std::string& text, const NoteSink& note) {
  const std::string context = "--preset " + text;
  const std::vector<PresetDescription> factory = unit.factoryPresets();
  const std::string folder = UserPresetFolder();
  if (const PresetDescription* preset = FindFactoryPreset(factory, text)) {
    unit.selectPreset(*preset);
    std::vector<UserPresetFile> user;
    try {
      user = UserPresetFiles(folder);
    } catch (const ToolError&) {
      return;  // a folder that cannot be read hides no preset of the same name
    }
    if (const UserPresetFile* hidden = FindUserPreset(user, text))
      note(context + ": the factory preset " + std::to_string(preset->number) + " " + preset->name +
           ", not the user preset " + hidden->path + " of the same name");
    return;
  }
  const std::vector<UserPresetFile> user = UserPresetFiles(folder);
  const UserPresetFile* chosen = FindUserPreset(user, text);
  if (!chosen)
    throw UsageError(context + ": no such preset (" + knownPresets(factory, folder, user) + ")");
  LoadStateFile(unit, chosen->path, ReadUserPresetFile(chosen->path).get());
  note(context + ": the user preset " + chosen->path);
}

void RefuseHiddenPresetName(const Unit& unit, const std::string& name) {
  if (name.empty()) return;
  const std::vector<PresetDescription> factory = unit.factoryPresets();
  if (const PresetDescription* preset = FindFactoryPreset(factory, name))
    throw UsageError("--save-preset " + name + ": --preset " + name +
                     " chooses the factory preset " + std::to_string(preset->number) + " " +
                     preset->name + ", so it could never load this preset; choose another name");
}
