#include "tools/lv2host/UridMap.h"

UridMap::UridMap() : mMap{this, Map}, mUnmap{this, Unmap}, mFeature{LV2_URID__map, &mMap} {}

LV2_URID UridMap::map(const char* uri) {
  const auto [entry, added] = mIds.emplace(uri, static_cast<LV2_URID>(mIds.size() + 1));
  if (added) mURIs.push_back(&entry->first);
  return entry->second;
}

const char* UridMap::unmap(LV2_URID id) const {
  return id >= 1 && id <= mURIs.size() ? mURIs[id - 1]->c_str() : nullptr;
}

LV2_URID UridMap::Map(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<UridMap*>(handle)->map(uri);
}

const char* UridMap::Unmap(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  return static_cast<UridMap*>(handle)->unmap(id);
}
