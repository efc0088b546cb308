// Program (fxp) and bank (fxb) files. Loading checks the whole file before
// it touches a parameter or preset: these files come from disk and may be
// cut short, oversized or hostile.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "framework/base/TruncatingCopy.h"
#include "framework/plugin/IPlugBase.h"
#include "framework/plugin/detail/BigEndian.h"
#include "framework/plugin/detail/WholeFile.h"

namespace {
constexpr uint32_t kCcnK = FourCC("CcnK");
constexpr uint32_t kFxCk = FourCC("FxCk");
constexpr uint32_t kFPCh = FourCC("FPCh");
constexpr uint32_t kFxBk = FourCC("FxBk");
constexpr uint32_t kFBCh = FourCC("FBCh");
constexpr uint32_t kTffp = FourCC("tffp");
constexpr int kFrameworkChunkVersion = 0x10000;
constexpr int kProgramNameLen = 28;
constexpr int kProgramHeaderSize = 56;
constexpr int kBankHeaderSize = 156;
constexpr int kBankReservedSize = 124;
// The byte-size field counts the chunk plus the header before it.
constexpr int kProgramChunkOverhead = 60;
constexpr int kBankChunkOverhead = 160;

// The header fields both file kinds share, in file order.
struct FileHeader {
  uint32_t magic = 0;
  uint32_t byteSize = 0;
  uint32_t form = 0;
  uint32_t formatVersion = 0;
  uint32_t uniqueID = 0;
  uint32_t pluginVersion = 0;
  uint32_t count = 0;  // parameters (program) or presets (bank)
};

int GetHeader(const ByteChunk& file, int pos, FileHeader* h) {
  uint32_t* fields[] = {&h->magic,    &h->byteSize,      &h->form, &h->formatVersion,
                        &h->uniqueID, &h->pluginVersion, &h->count};
  for (uint32_t* field : fields)
    pos = pos < 0 ? -1 : GetBE32(file, field, pos);
  return pos;
}

void PutHeader(ByteChunk* file, const FileHeader& h) {
  for (uint32_t field :
       {h.magic, h.byteSize, h.form, h.formatVersion, h.uniqueID, h.pluginVersion, h.count}) {
    PutBE32(file, field);
  }
}

// A header for a file of the given form. In chunk form the byte size counts
// the payload, its "tffp" header and the file header before the chunk; in
// parameter form it is 0.
FileHeader NewHeader(uint32_t form, const ByteChunk& payload, int chunkOverhead,
                     uint32_t formatVersion, int uniqueID, int decimalVersion, int count) {
  FileHeader h;
  h.magic = kCcnK;
  const bool chunkForm = form == kFPCh || form == kFBCh;
  h.byteSize = chunkForm ? static_cast<uint32_t>(payload.Size() + 8 + chunkOverhead) : 0;
  h.form = form;
  h.formatVersion = formatVersion;
  h.uniqueID = static_cast<uint32_t>(uniqueID);
  h.pluginVersion = static_cast<uint32_t>(decimalVersion);
  h.count = static_cast<uint32_t>(count);
  return h;
}

void PutName(ByteChunk* file, const char* name) {
  char padded[kProgramNameLen] = {};
  TruncatingCopy(padded, name);
  file->PutBytes(padded, kProgramNameLen);
}

// The name field, terminated even when the file filled all 28 bytes.
int GetName(const ByteChunk& file, int pos, char (&name)[kProgramNameLen + 1]) {
  name[kProgramNameLen] = 0;
  return file.GetBytes(name, kProgramNameLen, pos);
}

// "tffp", the framework chunk version, then the payload, after the payload's
// big-endian size.
void PutFrameworkChunk(ByteChunk* file, const ByteChunk& payload) {
  ByteChunk chunk;
  PutBE32(&chunk, kTffp);
  chunk.Put(&kFrameworkChunkVersion);
  chunk.PutChunk(&payload);
  PutBE32(file, static_cast<uint32_t>(chunk.Size()));
  file->PutChunk(&chunk);
}

// Copies the sized chunk at pos out of the file and finds where its payload
// starts (after the optional "tffp" header). False when the file is shorter
// than the size promises.
bool GetFrameworkChunk(const ByteChunk& file, int pos, ByteChunk* chunk, int* payloadPos) {
  uint32_t size = 0;
  pos = GetBE32(file, &size, pos);
  if (pos < 0 || size > static_cast<uint32_t>(file.Size() - pos)) return false;
  chunk->Clear();
  if (chunk->PutBytes(file.GetBytes() + pos, static_cast<int>(size)) < 0) return false;
  uint32_t magic = 0;
  *payloadPos = GetBE32(*chunk, &magic, 0) >= 0 && magic == kTffp ? 8 : 0;
  return true;
}

// n normalised values as big-endian singles at pos, each finite.
bool FiniteNormalizedValues(const ByteChunk& file, int pos, int n) {
  for (int i = 0; i < n; ++i) {
    uint32_t bits = 0;
    pos = GetBE32(file, &bits, pos);
    if (pos < 0 || !std::isfinite(BitsFloat(bits))) return false;
  }
  return true;
}

// Stored files may hold values a little outside 0..1; they load clamped.
double StoredNormalizedValue(uint32_t bits) {
  return std::clamp(static_cast<double>(BitsFloat(bits)), 0.0, 1.0);
}

long long ProgramRecordSize(int nParams) {
  return kProgramHeaderSize + 4LL * nParams;
}
}  // namespace

// ---- Saving. ----

bool IPlugBase::SaveProgramAsFXP(const WDL_String& path) {
  if (!path.GetLength()) return false;
  IMutexLock lock(this);
  ByteChunk state;
  if (DoesStateChunks() && !SerializeState(&state)) return false;
  ByteChunk file;
  PutHeader(&file, NewHeader(DoesStateChunks() ? kFPCh : kFxCk, state, kProgramChunkOverhead, 1,
                             mUniqueID, GetEffectVersion(true), NParams()));
  PutName(&file, GetPresetName(mCurrentPresetIdx));
  if (DoesStateChunks()) {
    PutFrameworkChunk(&file, state);
  } else {
    for (int i = 0; i < NParams(); ++i) {
      PutBE32(&file, FloatBits(static_cast<float>(GetParam(i)->GetNormalized())));
    }
  }
  return WriteWholeFile(path.Get(), file);
}

bool IPlugBase::SaveBankAsFXB(const WDL_String& path) {
  if (!path.GetLength()) return false;
  IMutexLock lock(this);
  ByteChunk bank;
  if (DoesStateChunks() && !SerializePresets(&bank)) return false;
  ByteChunk file;
  PutHeader(&file, NewHeader(DoesStateChunks() ? kFBCh : kFxBk, bank, kBankChunkOverhead, 2,
                             mUniqueID, GetEffectVersion(true), NPresets()));
  PutBE32(&file, static_cast<uint32_t>(mCurrentPresetIdx));
  const unsigned char reserved[kBankReservedSize] = {};
  file.PutBytes(reserved, kBankReservedSize);

  if (DoesStateChunks()) {
    PutFrameworkChunk(&file, bank);
    return WriteWholeFile(path.Get(), file);
  }
  const FileHeader record =
      NewHeader(kFxCk, bank, 0, 1, mUniqueID, GetEffectVersion(true), NParams());
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset* preset = mPresets.Get(i);
    PutHeader(&file, record);
    PutName(&file, preset->mName);
    for (int j = 0; j < NParams(); ++j) {
      const IParam* param = GetParam(j);
      // An uninitialised slot stores nothing; it is saved as the live value.
      double v = param->Value();
      preset->mChunk.Get(&v, j * static_cast<int>(sizeof(double)));
      PutBE32(&file, FloatBits(static_cast<float>(param->GetNormalized(v))));
    }
  }
  return WriteWholeFile(path.Get(), file);
}

// ---- Loading. ----

bool IPlugBase::LoadProgramFromFXP(const WDL_String& path) {
  ByteChunk file;
  return ReadWholeFile(path.Get(), &file) && LoadProgramFromFXPData(file);
}

bool IPlugBase::LoadBankFromFXB(const WDL_String& path) {
  ByteChunk file;
  return ReadWholeFile(path.Get(), &file) && LoadBankFromFXBData(file);
}

bool IPlugBase::LoadProgramFromFXPData(const ByteChunk& file) {
  FileHeader h;
  char name[kProgramNameLen + 1];
  int pos = GetHeader(file, 0, &h);
  if (pos >= 0) pos = GetName(file, pos, name);
  if (pos < 0 || h.magic != kCcnK || h.formatVersion != 1 ||
      h.uniqueID != static_cast<uint32_t>(mUniqueID) ||
      h.count != static_cast<uint32_t>(NParams())) {
    return false;
  }

  const bool chunkForm = h.form == kFPCh && DoesStateChunks();
  ByteChunk state;
  int statePos = 0;
  if (chunkForm) {
    // The state layout is one double per parameter, the layout presets and
    // banks assume as well.
    if (!GetFrameworkChunk(file, pos, &state, &statePos) ||
        statePos + 8LL * NParams() > state.Size()) {
      return false;
    }
  } else if (h.form != kFxCk || !FiniteNormalizedValues(file, pos, NParams())) {
    return false;
  }

  IMutexLock lock(this);
  if (chunkForm) {
    UnserializeState(&state, statePos);
  } else {
    for (int i = 0; i < NParams(); ++i) {
      uint32_t bits = 0;
      pos = GetBE32(file, &bits, pos);
      GetParam(i)->SetNormalized(StoredNormalizedValue(bits));
    }
  }
  ModifyCurrentPreset(name);
  RestorePreset(mCurrentPresetIdx);
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::LoadBankFromFXBData(const ByteChunk& file) {
  FileHeader h;
  uint32_t currentPgm = 0;
  int pos = GetHeader(file, 0, &h);
  if (pos >= 0) pos = GetBE32(file, &currentPgm, pos);
  if (pos < 0 || file.Size() < kBankHeaderSize || h.magic != kCcnK ||
      h.uniqueID != static_cast<uint32_t>(mUniqueID)) {
    return false;
  }

  if (h.form == kFBCh && DoesStateChunks()) {
    ByteChunk bank;
    int bankPos = 0;
    if (!GetFrameworkChunk(file, kBankHeaderSize, &bank, &bankPos)) return false;
    // Walk the bank as UnserializePresets will, so that it cannot stop
    // half-way through a preset. A bank may hold fewer presets than we do
    // (saved by a build with fewer slots): those present load.
    int p = bankPos;
    for (int i = 0; i < NPresets() && p >= 0 && p < bank.Size(); ++i) {
      bool initialized = false;
      p = bank.GetStr(nullptr, p);
      p = p < 0 ? -1 : bank.GetBool(&initialized, p);
      if (p >= 0 && initialized) {
        const long long end = p + 8LL * NParams();
        p = end <= bank.Size() ? static_cast<int>(end) : -1;
      }
    }
    if (p < 0) return false;
    IMutexLock lock(this);
    // Unlike the parameter form, the bank ends on our own current preset:
    // the file's index is not read.
    UnserializePresets(&bank, bankPos);
    InformHostOfProgramChange();
    return true;
  }
  if (h.form != kFxBk || static_cast<int32_t>(h.count) < 0) return false;

  const int nRecords =
      static_cast<int>(h.count) < NPresets() ? static_cast<int>(h.count) : NPresets();
  const long long recordSize = ProgramRecordSize(NParams());
  if (kBankHeaderSize + nRecords * recordSize > file.Size()) return false;
  for (int k = 0; k < nRecords; ++k) {
    FileHeader r;
    const int recordPos = kBankHeaderSize + static_cast<int>(k * recordSize);
    GetHeader(file, recordPos, &r);
    if (r.magic != kCcnK || r.form != kFxCk || r.formatVersion != 1 ||
        r.count != static_cast<uint32_t>(NParams()) ||
        !FiniteNormalizedValues(file, recordPos + kProgramHeaderSize, NParams())) {
      return false;
    }
  }

  IMutexLock lock(this);
  for (int k = 0; k < nRecords; ++k) {
    char name[kProgramNameLen + 1];
    int p = GetName(file, kBankHeaderSize + static_cast<int>(k * recordSize) + 28, name);
    RestorePreset(k);
    for (int j = 0; j < NParams(); ++j) {
      uint32_t bits = 0;
      p = GetBE32(file, &bits, p);
      GetParam(j)->SetNormalized(StoredNormalizedValue(bits));
    }
    ModifyCurrentPreset(name);
  }
  RestorePreset(static_cast<int32_t>(currentPgm));
  InformHostOfProgramChange();
  return true;
}
