#pragma once

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

// One URID per URI, handed out from 1 and kept for the host's life. Plug-ins
// keep the map's address, so it never moves.
class UridMap {
 public:
  UridMap();
  UridMap(const UridMap&) = delete;
  UridMap& operator=(const UridMap&) = delete;

  LV2_URID map(const char* uri);
  // The URI of an id handed out, or null.
  const char* unmap(LV2_URID id) const;
  const LV2_Feature* feature() const { return &mFeature; }
  LV2_URID_Map* mapInterface() { return &mMap; }
  LV2_URID_Unmap* unmapInterface() { return &mUnmap; }

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);
  static const char* Unmap(LV2_URID_Unmap_Handle handle, LV2_URID id);

  std::map<std::string, LV2_URID> mIds;
  std::vector<const std::string*> mURIs;  // by id - 1, pointing into mIds
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
  LV2_Feature mFeature;
};
