// Making, restoring, modifying and pruning presets.
#include <cstdarg>
#include <cstring>

#include "framework/base/MorvexAssert.h"
#include "framework/base/WDL_TypedBuf.h"
#include "framework/plugin/Base64.h"
#include "framework/plugin/IPlugBase.h"

namespace {
// Marks a parameter that MakePresetFromNamedParams was not given.
constexpr double kUnnamedParam = 9.999e-08;

// Takes the next free slot, initialised and named, or null when none is left.
IPreset* ClaimPreset(WDL_PtrList<IPreset>* presets, const char* name) {
  IPreset* preset = GetNextUninitializedPreset(presets);
  if (!preset) return nullptr;
  preset->mInitialized = true;
  preset->SetName(name);
  return preset;
}

bool TakesIntArgument(const IParam* param) {
  switch (param->Type()) {
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      return true;
    default:
      return false;
  }
}
}  // namespace

const char* IPlugBase::GetPresetName(int idx) const {
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

bool IPlugBase::RestorePreset(int idx) {
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  bool restored;
  if (!preset->mInitialized) {
    preset->mInitialized = true;
    MakeDefaultUserPresetName(&mPresets, preset->mName);
    restored = SerializeState(&preset->mChunk);
  } else {
    restored = UnserializeState(&preset->mChunk, 0) > 0;
  }
  if (restored) {
    mCurrentPresetIdx = idx;
    PresetsChangedByHost();
    RedrawParamControls();
  }
  return restored;
}

bool IPlugBase::PresetRepeats(int idx) const {
  const IPreset* preset = mPresets.Get(idx);
  if (!preset || !preset->mInitialized) return false;
  for (int i = 0; i < idx; ++i) {
    const IPreset* earlier = mPresets.Get(i);
    if (earlier->mInitialized && !strcmp(earlier->mName, preset->mName) &&
        earlier->mChunk.IsEqual(preset->mChunk))
      return true;
  }
  return false;
}

bool IPlugBase::RestorePreset(const char* name) {
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i) {
    if (!strcmp(mPresets.Get(i)->mName, name)) return RestorePreset(i);
  }
  return false;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  if (name && name[0]) preset->SetName(name);
}

void IPlugBase::MakePreset(const char* name, ...) {
  IPreset* preset = ClaimPreset(&mPresets, name);
  if (!preset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) {
    const double v = TakesIntArgument(GetParam(i)) ? static_cast<double>(va_arg(args, int))
                                                   : va_arg(args, double);
    preset->mChunk.Put(&v);
  }
  va_end(args);
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
  IPreset* preset = ClaimPreset(&mPresets, name);
  if (!preset) return;
  const int n = NParams();
  WDL_TypedBuf<double> values;
  double* v = values.Resize(n);
  if (n > 0 && !v) return;
  for (int i = 0; i < n; ++i)
    v[i] = kUnnamedParam;
  va_list args;
  va_start(args, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i) {
    const int paramIdx = va_arg(args, int);
    MORVEX_ASSERT(paramIdx >= 0 && paramIdx < n);
    v[paramIdx] = TakesIntArgument(GetParam(paramIdx)) ? static_cast<double>(va_arg(args, int))
                                                       : va_arg(args, double);
  }
  va_end(args);
  for (int i = 0; i < n; ++i) {
    if (v[i] == kUnnamedParam) v[i] = GetParam(i)->Value();
    preset->mChunk.Put(v + i);
  }
}

void IPlugBase::MakePresetFromChunk(const char* name, const ByteChunk* chunk) {
  IPreset* preset = ClaimPreset(&mPresets, name);
  if (preset) preset->mChunk.PutChunk(chunk);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  ByteChunk chunk;
  chunk.Resize(sizeOfChunk);
  base64decode(blob, chunk.GetBytes(), chunk.Size());
  MakePresetFromChunk(name, &chunk);
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = ClaimPreset(&mPresets, name ? name : "Empty");
    if (!preset) return;
    SerializeState(&preset->mChunk);
  }
}

void IPlugBase::EnsureDefaultPreset() {
  MakeDefaultPreset("Empty", NPresets());
}

void IPlugBase::PruneUninitializedPresets() {
  for (int i = NPresets() - 1; i >= 0; --i) {
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
  }
}
