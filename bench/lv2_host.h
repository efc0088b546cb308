// A small in-memory LV2 host for benchmarks: a lilv world that holds only the
// bundles named to it, and plug-in instances with every port connected, so a
// benchmark can time `run` and nothing else.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
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
  const LV2_Feature* feature() const { return &mFeature; }

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);

  std::map<std::string, LV2_URID> mIds;
  LV2_URID_Map mMap;
  LV2_Feature mFeature;
};

class Lv2World {
 public:
  Lv2World();
  ~Lv2World();
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  // Reads the bundle in the folder `path`; false when it holds no manifest.
  bool loadBundle(const std::string& path);
  // Null when no bundle read so far describes `uri`.
  const LilvPlugin* plugin(const char* uri) const;

  LilvWorld* lilv() const { return mWorld; }
  UridMap& urids() { return mUrids; }

 private:
  LilvWorld* mWorld;
  UridMap mUrids;
};

// Control inputs by port symbol; the ports not named keep their defaults.
using ControlSettings = std::map<std::string, float>;

class Lv2Instance {
 public:
  // Instantiates, connects every port and activates; null with `error` set
  // when the plug-in asks for a feature this host lacks, names a setting it
  // has no port for, has a port this host cannot feed, or fails to start.
  static std::unique_ptr<Lv2Instance> create(Lv2World& world, const LilvPlugin* plugin,
                                             double sampleRate, uint32_t maxBlock,
                                             const ControlSettings& settings, std::string& error);
  ~Lv2Instance();
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  int numInputs() const { return static_cast<int>(mAudioIn.size()); }
  int numOutputs() const { return static_cast<int>(mAudioOut.size()); }

  // Points the audio inputs at the caller's channels for the next runs: a
  // host feeding a long recording moves the pointers rather than copying.
  void connectInputs(const float* const* channels);
  // Runs up to maxBlock frames. Allocates nothing.
  void run(uint32_t frames);
  const float* output(int channel) const {
    return mOutBuffers[static_cast<size_t>(channel)].data();
  }

 private:
  Lv2Instance() = default;
  std::string connect(Lv2World& world, const LilvPlugin* plugin, uint32_t maxBlock,
                      const ControlSettings& settings);

  // Kept for the instance's life: a plug-in may hold on to what it was given.
  std::array<const LV2_Feature*, 2> mFeatures{};
  LilvInstance* mInstance = nullptr;
  bool mActive = false;
  std::vector<float> mControls;
  std::vector<uint32_t> mAudioIn;
  std::vector<uint32_t> mAudioOut;
  std::vector<std::vector<float>> mOutBuffers;
  // Atom sequences, 64-bit aligned as the atom headers need.
  std::vector<std::vector<uint64_t>> mAtomBuffers;
  std::vector<size_t> mAtomOutputs;
  LV2_URID mChunkType = 0;
};
