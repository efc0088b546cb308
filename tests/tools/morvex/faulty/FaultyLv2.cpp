// An LV2 plug-in with one gain port and a planted fault, of nothing but
// the LV2 C interface.
#include <lv2/core/lv2.h>

#include <cstdint>

#include "tests/tools/morvex/faulty/PlantedFault.h"

namespace {

struct Faulty {
  PlantedFault fault = PlantedFaultFromEnvironment();
  const float* gain = nullptr;
  const float* in[2] = {nullptr, nullptr};
  float* out[2] = {nullptr, nullptr};
};

LV2_Handle instantiate(const LV2_Descriptor*, double, const char*, const LV2_Feature* const*) {
  auto* self = new Faulty;
  LeakIfPlanted(self->fault);
  return self;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  auto* self = static_cast<Faulty*>(handle);
  if (port == 0) self->gain = static_cast<const float*>(data);
  if (port == 1 || port == 2) self->in[port - 1] = static_cast<const float*>(data);
  if (port == 3 || port == 4) self->out[port - 3] = static_cast<float*>(data);
}

void run(LV2_Handle handle, uint32_t frames) {
  auto* self = static_cast<Faulty*>(handle);
  CommitPlantedFault(self->fault);
  for (int c = 0; c < 2; ++c)
    for (uint32_t s = 0; s < frames; ++s)
      self->out[c][s] = GainedSample(self->in[c][s], *self->gain);
}

void cleanup(LV2_Handle handle) {
  delete static_cast<Faulty*>(handle);
}

const LV2_Descriptor kDescriptor = {
    "urn:morvex:tests:faulty", instantiate, connectPort, nullptr, run, nullptr, cleanup, nullptr};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
