#include "tests/effect/lv2/MorvexWorld.h"

#include <dlfcn.h>

#include <cstring>

#include "lv2/atom/atom.h"
#include "lv2/state/state.h"

namespace {
struct PortAccess {
  Lv2Instance* instance;
  LV2_URID floatType;
};

const void* GetPortValue(const char* symbol, void* userData, uint32_t* size, uint32_t* type) {
  auto* access = static_cast<PortAccess*>(userData);
  *size = sizeof(float);
  *type = access->floatType;
  return access->instance->control(symbol);
}

void SetPortValue(const char* symbol, void* userData, const void* value, uint32_t size, uint32_t) {
  float* port = static_cast<Lv2Instance*>(userData)->control(symbol);
  if (port && size == sizeof(float)) std::memcpy(port, value, sizeof(float));
}
}  // namespace

MorvexWorld::MorvexWorld() {
  loadPluginClasses();
  loadBundle(MORVEX_LV2_BUNDLE);
  // Kept loaded for the whole test, as long-running hosts keep plug-in
  // libraries: its static data then stays in the leak checker's sight.
  dlopen(MORVEX_LV2_BUNDLE "/Morvex.so", RTLD_NOW | RTLD_NODELETE);
}

std::unique_ptr<Lv2Instance> MorvexWorld::Instantiate(const char* uri,
                                                      const ControlSettings& settings,
                                                      uint32_t maxBlock, double sampleRate) {
  std::string error;
  return Lv2Instance::create(*this, plugin(uri), sampleRate, maxBlock, settings, error);
}

LilvState* MorvexWorld::Save(const char* uri, Lv2Instance& instance) {
  PortAccess access{&instance, urids().map(LV2_ATOM__Float)};
  return lilv_state_new_from_instance(plugin(uri), instance.lilv(), urids().mapInterface(), nullptr,
                                      nullptr, nullptr, nullptr, GetPortValue, &access,
                                      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
}

void MorvexWorld::Restore(Lv2Instance& instance, const LilvState* state) {
  const LV2_Feature* features[] = {urids().feature(), nullptr};
  lilv_state_restore(state, instance.lilv(), SetPortValue, &instance, 0, features);
}
