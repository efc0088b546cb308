// A small in-memory LV2 host for the benchmarks and the tests: plug-in
// instances with every port connected, so a program can time or check `run`
// and nothing else.
#pragma once

#include <lilv/lilv.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/lv2host/Lv2World.h"

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
  // Points the audio outputs at the caller's channels instead of the
  // instance's own buffers (the inputs' channels, for in-place processing).
  void connectOutputs(float* const* channels);
  // A control port's value, by symbol; null for no such port.
  float* control(const std::string& symbol);
  LilvInstance* lilv() const { return mInstance; }
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
  std::map<std::string, uint32_t> mControlIndex;
  std::vector<uint32_t> mAudioIn;
  std::vector<uint32_t> mAudioOut;
  std::vector<std::vector<float>> mOutBuffers;
  // Atom sequences, 64-bit aligned as the atom headers need.
  std::vector<std::vector<uint64_t>> mAtomBuffers;
  std::vector<size_t> mAtomOutputs;
  LV2_URID mChunkType = 0;
};
