#include "framework/plugin/IPreset.h"

#include <cstdio>
#include <cstring>

#include "framework/base/TruncatingCopy.h"

namespace {
const char kUserPresetName[] = "user preset";
}

IPreset::IPreset(int) {
  SetName("empty");
}

void IPreset::SetName(const char* name) {
  TruncatingCopy(mName, name);
}

IPreset* GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets) {
  for (int i = 0; i < presets->GetSize(); ++i) {
    IPreset* preset = presets->Get(i);
    if (!preset->mInitialized) return preset;
  }
  return nullptr;
}

void MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char (&name)[MAX_PRESET_NAME_LEN]) {
  int count = 0;
  for (int i = 0; i < presets->GetSize(); ++i) {
    if (strstr(presets->Get(i)->mName, kUserPresetName)) ++count;
  }
  snprintf(name, sizeof(name), "%s %d", kUserPresetName, count + 1);
}
