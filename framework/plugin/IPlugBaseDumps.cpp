// Developer dumps of presets as source lines.
#include <cstdio>

#include "framework/base/WDL_TypedBuf.h"
#include "framework/plugin/Base64.h"
#include "framework/plugin/IPlugBase.h"

namespace {
// Writes the chunk's base64 text, then its size, closing a
// MakePresetFromBlob line. The text buffer is sized to the chunk, so no
// chunk is too large to dump.
void PutBlobTail(FILE* file, const ByteChunk& chunk) {
  WDL_TypedBuf<char> text;
  char* buf = text.Resize(base64encodedsize(chunk.Size()));
  if (!buf) return;
  base64encode(chunk.GetBytes(), buf, chunk.Size());
  fprintf(file, "%s\", %i);\n", buf, chunk.Size());
}
}  // namespace

void IPlugBase::DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]) {
  if (!filename || !paramEnumNames) return;
  FILE* file = fopen(filename, "w");
  if (!file) return;
  fprintf(file, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    const char* enumName = paramEnumNames[i] ? paramEnumNames[i] : "";
    char value[32];
    switch (param->Type()) {
      case IParam::kTypeBool:
        snprintf(value, sizeof(value), "%s", param->Bool() ? "true" : "false");
        break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum:
        snprintf(value, sizeof(value), "%d", param->Int());
        break;
      default:
        snprintf(value, sizeof(value), "%.6f", param->Value());
        break;
    }
    fprintf(file, ",\n    %s, %s", enumName, value);
  }
  fprintf(file, ");\n");
  fclose(file);
}

void IPlugBase::DumpPresetBlob(const char* filename) {
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!filename || !preset) return;
  FILE* file = fopen(filename, "w");
  if (!file) return;
  fprintf(file, "MakePresetFromBlob(\"name\", \"");
  PutBlobTail(file, preset->mChunk);
  fclose(file);
}

void IPlugBase::DumpBankBlob(const char* filename) {
  if (!filename) return;
  FILE* file = fopen(filename, "w");
  if (!file) return;
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset* preset = mPresets.Get(i);
    fprintf(file, "MakePresetFromBlob(\"%s\", \"", preset->mName);
    PutBlobTail(file, preset->mChunk);
  }
  fclose(file);
}
