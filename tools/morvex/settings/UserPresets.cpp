#include "tools/morvex/settings/UserPresets.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/auhost/CFRef.h"
#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/console/ToolError.h"

namespace {

const char kExtension[] = ".aupreset";
constexpr size_t kMaxNameBytes = 200;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

}  // namespace

std::string UserPresetFolder() {
  std::string base = environment("XDG_DATA_HOME");
  if (base.empty() || base[0] != '/') {
    // A relative HOME would put the presets wherever the command runs.
    base = environment("HOME");
    if (base.empty() || base[0] != '/') return "";
    base += "/.local/share";
  }
  while (base.size() > 1 && base.back() == '/')
    base.pop_back();
  return base + "/morvex/presets";
}

std::string NoUserPresetFolderReason() {
  const std::string home = environment("HOME");
  if (home.empty()) return "neither XDG_DATA_HOME nor HOME is set";
  return "HOME (" + home + ") is not an absolute path, nor is XDG_DATA_HOME set to one";
}

std::string UserPresetPath(const std::string& name) {
  const std::string folder = UserPresetFolder();
  return name.empty() || folder.empty() ? "" : folder + "/" + name + kExtension;
}

void CheckUserPresetName(const std::string& option, const std::string& name) {
  const std::string context = option + " " + name + ": a preset name ";
  if (name.find('/') != std::string::npos) throw UsageError(context + "may not contain '/'");
  if (name[0] == '.') throw UsageError(context + "may not start with '.'");
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      throw UsageError(option + ": a preset name may not contain control characters");
  // The name goes into the saved state's property list, which holds text.
  if (!MakeCFString(name))
    throw UsageError(option + ": a preset name must be UTF-8 text, which this is not");
  if (name.size() > kMaxNameBytes)
    throw UsageError(option + ": a preset name may be at most " + std::to_string(kMaxNameBytes) +
                     " bytes long, not " + std::to_string(name.size()));
}

std::vector<UserPresetFile> UserPresetFiles(const std::string& folder) {
  std::vector<UserPresetFile> files;
  DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
  if (!dir) {
    if (folder.empty() || errno == ENOENT) return files;
    throw ToolError(folder + ": cannot read the user presets (" + std::strerror(errno) + ")");
  }
  const size_t extension = sizeof kExtension - 1;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    // Hidden entries include the temporaries of presets being written.
    if (name[0] == '.' || name.size() <= extension ||
        name.compare(name.size() - extension, extension, kExtension) != 0)
      continue;
    files.push_back({name.substr(0, name.size() - extension), folder + "/" + name});
  }
  closedir(dir);
  std::sort(files.begin(), files.end(), [](const UserPresetFile& a, const UserPresetFile& b) {
    if (lessIgnoringCase(a.name, b.name)) return true;
    return !lessIgnoringCase(b.name, a.name) && a.name < b.name;
  });
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
