#include "tools/morvex/output/StateOutputs.h"

#include <sys/stat.h>

#include <cstdio>

#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/StateFile.h"
#include "tools/morvex/settings/UnitSettings.h"
#include "tools/morvex/settings/UserPresets.h"

StateOutputs::StateOutputs(const UnitSettings& settings, SafeOutput::Existing existing)
    : mPresetName(settings.savePresetName) {
  if (!settings.saveStatePath.empty()) mState.emplace(settings.saveStatePath, existing);
  if (mPresetName.empty()) return;
  const std::string folder = UserPresetFolder();
  if (folder.empty())
    throw ToolError("--save-preset " + mPresetName + ": no folder for user presets, since " +
                    NoUserPresetFolderReason());
  std::string problem;
  if (!MakeUserPresetFolder(folder, &problem)) throw ToolError(problem);
  const std::string path = UserPresetPath(mPresetName);
  struct stat info;
  mReplacing = lstat(path.c_str(), &info) == 0;
  // A FIFO would be written in place, waiting for a reader that never comes.
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    throw ToolError("--save-preset " + mPresetName + ": " + path +
                    " is there and is not a regular file, so it cannot hold a preset");
  mPreset.emplace(path, existing);
}

void StateOutputs::write(const Unit& unit) {
  if (!mState && !mPreset) return;
  const CFRef<CFPropertyListRef> state = unit.state();
  if (mState) WriteStateFile(*mState, state.get());
  if (mPreset) {
    if (CFGetTypeID(state.get()) != CFDictionaryGetTypeID())
      throw ToolError(mPreset->destination() + ": Morvex's state is not a dictionary");
    const CFRef<CFDictionaryRef> named =
        RenamedState(static_cast<CFDictionaryRef>(state.get()), mPresetName);
    WriteStateFile(*mPreset, named.get());
  }
}

void StateOutputs::commit(SafeOutput* audio) {
  SafeOutput::commitTogether({audio, mState ? &*mState : nullptr, mPreset ? &*mPreset : nullptr});
  if (mPreset && mReplacing)
    std::fprintf(stderr, "morvex: --save-preset %s: replaced the user preset %s\n",
                 mPresetName.c_str(), mPreset->destination().c_str());
}
