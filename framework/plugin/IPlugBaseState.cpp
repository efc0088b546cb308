// The parameter chunk, the preset bank and state comparison.
#include <cmath>
#include <cstring>

#include "framework/plugin/IPlugBase.h"
#include "framework/plugin/Trace.h"

namespace {
// A stored value for a boolean, integer or enumerated parameter lands on the
// nearest index (halves upward, as SetNormalized rounds), so that a hand-made
// or foreign state cannot leave an indexed parameter between two indices.
double StoredParamValue(const IParam& param, double value) {
  return param.Type() == IParam::kTypeDouble ? value : std::floor(0.5 + value);
}
}  // namespace

bool IPlugBase::SerializeParams(ByteChunk* chunk) {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) {
    const double v = GetParam(i)->Value();
    Trace("SerializeParams", __LINE__, "%d %s %f", i, GetParam(i)->GetNameForHost(), v);
    if (chunk->Put(&v) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(const ByteChunk* chunk, int startPos) {
  WDL_MutexLock lock(&mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    IParam* param = GetParam(i);
    double v = 0.0;
    pos = chunk->Get(&v, pos);
    param->Set(StoredParamValue(*param, v));
    Trace("UnserializeParams", __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
  }
  OnParamReset();
  return pos;
}

bool IPlugBase::HoldsParamValues(const ByteChunk* chunk, int startPos) const {
  int pos = startPos;
  for (int i = 0; i < NParams(); ++i) {
    double v = 0.0;
    pos = chunk->Get(&v, pos);
    if (pos < 0 || !std::isfinite(v)) return false;
  }
  return true;
}

bool IPlugBase::SerializePresets(ByteChunk* chunk) {
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    chunk->PutStr(preset->mName);
    chunk->PutBool(preset->mInitialized);
    if (preset->mInitialized && chunk->PutChunk(&preset->mChunk) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializePresets(const ByteChunk* chunk, int startPos) {
  int pos = startPos;
  WDL_String name;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* preset = mPresets.Get(i);
    // A stored empty name leaves the string alone, so start each name afresh
    // rather than inherit the previous preset's.
    name.Set("");
    pos = chunk->GetStr(&name, pos);
    bool initialized = false;
    pos = chunk->GetBool(&initialized, pos);
    // A preset whose header is cut short keeps its name and flag.
    if (pos < 0) break;
    preset->SetName(name.Get());
    preset->mInitialized = initialized;
    if (initialized) {
      pos = UnserializeState(chunk, pos);
      if (pos > 0) {
        preset->mChunk.Clear();
        SerializeState(&preset->mChunk);
      }
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

bool IPlugBase::CompareState(const unsigned char* incomingState, int startPos) {
  bool isEqual = true;
  const unsigned char* stored = incomingState + static_cast<size_t>(startPos) * sizeof(double);
  for (int i = 0; i < NParams(); ++i) {
    double v;
    memcpy(&v, stored + i * sizeof(double), sizeof(v));
    const float difference =
        std::fabs(static_cast<float>(GetParam(i)->Value()) - static_cast<float>(v));
    isEqual &= difference < 0.00001;
  }
  return isEqual;
}

void IPlugBase::DirtyParameters() {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}
