#pragma once

#include <lilv/lilv.h>

#include <string>

#include "tools/lv2host/UridMap.h"

// A lilv world that holds only the bundles named to it, never the whole
// LV2_PATH: a build tree or a test machine holds more than bundles.
class Lv2World {
 public:
  Lv2World();
  ~Lv2World();
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  // Reads the bundle in the folder `path`; false when it holds no manifest.
  bool loadBundle(const std::string& path);
  // The system's plug-in class hierarchy (lv2:PhaserPlugin and the rest),
  // from the core vocabulary installed under folder; false without it.
  bool loadPluginClasses(const std::string& folder = "/usr/lib/lv2");
  // Null when no bundle read so far describes `uri`.
  const LilvPlugin* plugin(const char* uri) const;

  LilvWorld* lilv() const { return mWorld; }
  UridMap& urids() { return mUrids; }

 private:
  LilvWorld* mWorld;
  UridMap mUrids;
};
