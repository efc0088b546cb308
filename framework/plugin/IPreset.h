#pragma once

#include "framework/base/WDL_PtrList.h"
#include "framework/plugin/ByteChunk.h"
#include "framework/plugin/IPlugConstants.h"

// One preset slot: uninitialised and named "empty" until it holds state in
// the parameter-chunk layout.
struct IPreset {
  bool mInitialized = false;
  char mName[MAX_PRESET_NAME_LEN];
  ByteChunk mChunk;

  // The slot index is not stored; it only documents where the slot lives.
  explicit IPreset(int idx = 0);
  // Names longer than MAX_PRESET_NAME_LEN - 1 characters are truncated.
  void SetName(const char* name);
};

// The first preset not yet initialised, or null. [UI thread]
IPreset* GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets);

// "user preset N", N being one more than the number of presets whose name
// contains "user preset". [UI thread]
void MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char (&name)[MAX_PRESET_NAME_LEN]);
