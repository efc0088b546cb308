#include "tools/lv2host/Lv2World.h"

#include <filesystem>

#include "tools/lv2host/ScopedNode.h"

Lv2World::Lv2World() : mWorld(lilv_world_new()) {}

Lv2World::~Lv2World() {
  lilv_world_free(mWorld);
}

bool Lv2World::loadBundle(const std::string& path) {
  // lilv takes a bundle as a folder URI, which must end in a slash.
  const std::filesystem::path folder = std::filesystem::path(path) / "";
  if (!std::filesystem::is_regular_file(folder / "manifest.ttl")) return false;
  const ScopedNode uri{lilv_new_file_uri(mWorld, nullptr, folder.c_str())};
  lilv_world_load_bundle(mWorld, uri.node);
  return true;
}

const LilvPlugin* Lv2World::plugin(const char* uri) const {
  const ScopedNode node{lilv_new_uri(mWorld, uri)};
  return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node.node);
}

bool Lv2World::loadPluginClasses(const std::string& folder) {
  if (!loadBundle(folder + "/core.lv2")) return false;
  lilv_world_load_specifications(mWorld);
  lilv_world_load_plugin_classes(mWorld);
  return true;
}
