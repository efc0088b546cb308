// The plug-in descriptors: C callbacks that find the plug-in object in the
// instance handle.
#include <atomic>
#include <cstring>
#include <string>

#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/MakePlug.h"
#include "framework/lv2/detail/Features.h"

namespace {
// Set once, by the first Descriptor call.
std::atomic<const LV2Identity*> gIdentity{nullptr};

IPlugLV2* Plug(LV2_Handle instance) {
  return static_cast<IPlugLV2*>(instance);
}

const LV2Layout* LayoutOf(const LV2_Descriptor* descriptor);

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* bundlePath,
                       const LV2_Feature* const* features) {
  const LV2Layout* layout = LayoutOf(descriptor);
  if (!layout) return nullptr;
  IPlugInstanceInfo info;
  info.mWithEditor = false;
  info.mResourceFolder.Set(bundlePath ? bundlePath : "");
  IPlugLV2* plug = MakePlug(info);
  if (plug &&
      !plug->Configure(*layout, sampleRate, FindFeature<LV2_URID_Map>(features, LV2_URID__map))) {
    delete plug;
    plug = nullptr;
  }
  return plug;
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  Plug(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
  Plug(instance)->Activate();
}

void Run(LV2_Handle instance, uint32_t nFrames) {
  Plug(instance)->Run(nFrames);
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle instance) {
  delete Plug(instance);
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
  return Plug(instance)->SaveState(store, handle);
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
  return Plug(instance)->RestoreState(retrieve, handle);
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface kState = {Save, Restore};
  return uri && !std::strcmp(uri, LV2_STATE__interface) ? &kState : nullptr;
}

struct Descriptors {
  std::string mURIs[kNumLV2Layouts];
  LV2_Descriptor mDescriptors[kNumLV2Layouts];

  explicit Descriptors(const LV2Identity& identity);
};

const Descriptors* gDescriptors = nullptr;

Descriptors::Descriptors(const LV2Identity& identity) {
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    mURIs[i] = std::string(identity.mURI) + ":" + kLV2Layouts[i].mName;
    mDescriptors[i] = {mURIs[i].c_str(), Instantiate, ConnectPort,  Activate, Run,
                       Deactivate,       Cleanup,     ExtensionData};
  }
  gDescriptors = this;
  gIdentity.store(&identity, std::memory_order_release);
}

const LV2Layout* LayoutOf(const LV2_Descriptor* descriptor) {
  if (!gDescriptors || !descriptor) return nullptr;
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    if (descriptor == &gDescriptors->mDescriptors[i]) return &kLV2Layouts[i];
  }
  return nullptr;
}
}  // namespace

const LV2_Descriptor* IPlugLV2::Descriptor(const LV2Identity& identity, uint32_t index) {
  // Built on first use and kept for the library's life: hosts hold the
  // pointers for as long as it is loaded.
  static const Descriptors descriptors(identity);
  return index < static_cast<uint32_t>(kNumLV2Layouts) ? &descriptors.mDescriptors[index] : nullptr;
}

const LV2Identity* IPlugLV2::Identity() {
  return gIdentity.load(std::memory_order_acquire);
}
