// Saved state: the parameter chunk the Audio Unit face saves, as one atom
// chunk, so a setting moves between the two.
#include <climits>
#include <string>

#include "framework/lv2/IPlugLV2.h"
#include "lv2/atom/atom.h"

uint32_t IPlugLV2::StateKey() const {
  const LV2Identity* identity = Identity();
  if (!mMap || !identity) return 0;
  const std::string key = std::string(identity->mURI) + ":state";
  return mMap->map(mMap->handle, key.c_str());
}

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  const uint32_t key = StateKey();
  const uint32_t chunkType = mMap ? mMap->map(mMap->handle, LV2_ATOM__Chunk) : 0;
  if (!key || !chunkType) return LV2_STATE_ERR_NO_FEATURE;
  ByteChunk chunk;
  if (!SerializeState(&chunk)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, key, chunk.GetBytes(), static_cast<size_t>(chunk.Size()), chunkType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle) {
  const uint32_t key = StateKey();
  const uint32_t chunkType = mMap ? mMap->map(mMap->handle, LV2_ATOM__Chunk) : 0;
  if (!key || !chunkType) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, key, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
  if (size > static_cast<size_t>(INT_MAX)) return LV2_STATE_ERR_UNKNOWN;
  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  // A chunk too short for every parameter, or holding a value that is no
  // number, would half-apply: refuse it first.
  if (!HoldsParamValues(&chunk, 0)) return LV2_STATE_ERR_UNKNOWN;
  {
    IMutexLock lock(this);
    if (UnserializeState(&chunk, 0) < 0) return LV2_STATE_ERR_UNKNOWN;
    for (int i = 0; i < NParams(); ++i) {
      const float* port = mControlIn.Get()[i];
      if (port) mAppliedControl.Get()[i] = *port;
      mAdoptPort.Get()[i] = !port;
    }
  }
  return LV2_STATE_SUCCESS;
}
