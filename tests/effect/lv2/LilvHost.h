#pragma once

#include <lilv/lilv.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lv2/urid/urid.h"

// A small LV2 host for the tests: a lilv world holding the build's
// Morvex.lv2 (and the system's LV2 vocabularies), a URID map, and instances
// whose ports it owns.
class LilvHost {
 public:
  LilvHost();
  ~LilvHost();
  LilvHost(const LilvHost&) = delete;
  LilvHost& operator=(const LilvHost&) = delete;

  LilvWorld* World() const { return mWorld; }
  // The folder to give LV2_PATH, holding only Morvex.lv2.
  const std::string& Folder() const { return mFolder; }
  const LilvPlugin* Plugin(const std::string& uri) const;
  LilvNode* NewURI(const std::string& uri) const { return lilv_new_uri(mWorld, uri.c_str()); }
  const LV2_Feature* const* Features() const { return mFeatures; }
  LV2_URID_Map* Map() { return &mMap; }
  LV2_URID_Unmap* Unmap() { return &mUnmap; }

 private:
  static LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapURID(LV2_URID_Unmap_Handle handle, LV2_URID urid);

  std::string mFolder;  // holds a link to the bundle, for LV2_PATH
  LilvWorld* mWorld;
  std::map<std::string, LV2_URID> mIds;
  std::vector<std::string> mURIs;
  LV2_URID_Map mMap{this, MapURI};
  LV2_URID_Unmap mUnmap{this, UnmapURID};
  LV2_Feature mMapFeature{LV2_URID__map, &mMap};
  LV2_Feature mUnmapFeature{LV2_URID__unmap, &mUnmap};
  const LV2_Feature* mFeatures[3] = {&mMapFeature, &mUnmapFeature, nullptr};
};

// One instance of a plug-in, every control input at its default and every
// port connected to buffers of its own.
class LilvPlug {
 public:
  LilvPlug(LilvHost& host, const std::string& uri, double sampleRate = 44100.0);
  ~LilvPlug();
  LilvPlug(const LilvPlug&) = delete;
  LilvPlug& operator=(const LilvPlug&) = delete;

  LilvInstance* Instance() const { return mInstance; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  int Channels() const { return static_cast<int>(mAudioIn.size()); }
  float& Control(const std::string& symbol);
  // Processes interleaved frames in blocks of at most blockSize frames.
  std::vector<float> Process(const std::vector<float>& interleaved, int blockSize,
                             bool inPlace = false);
  // The saved state, and restoring one (ports through the host, then the
  // plug-in's own state).
  LilvState* Save() const;
  void Restore(const LilvState* state);

 private:
  static void SetPortValue(const char* symbol, void* userData, const void* value, uint32_t size,
                           uint32_t type);
  static const void* GetPortValue(const char* symbol, void* userData, uint32_t* size,
                                  uint32_t* type);

  LilvHost& mHost;
  const LilvPlugin* mPlugin;
  LilvInstance* mInstance;
  std::map<std::string, float> mControls;
  std::vector<uint32_t> mAudioIn;
  std::vector<uint32_t> mAudioOut;
};
