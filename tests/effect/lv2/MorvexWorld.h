#pragma once

#include <lilv/lilv.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/lv2host/Lv2Instance.h"

// This build's Morvex.lv2 in a lilv world with the system's plug-in
// classes, and what the tests do with its instances.
class MorvexWorld : public Lv2World {
 public:
  static constexpr const char* kStereo = "urn:tarnbrook:morvex:stereo";
  static constexpr const char* kMono = "urn:tarnbrook:morvex:mono";

  MorvexWorld();

  // An instance with every port connected and activated; null if refused.
  std::unique_ptr<Lv2Instance> Instantiate(const char* uri, const ControlSettings& settings = {},
                                           uint32_t maxBlock = 1024, double sampleRate = 44100.0);
  LilvNode* NewURI(const char* uri) const { return lilv_new_uri(lilv(), uri); }
  // The saved state, ports included, and restoring one: the ports through
  // the host, then the plug-in's own state.
  LilvState* Save(const char* uri, Lv2Instance& instance);
  void Restore(Lv2Instance& instance, const LilvState* state);
};
