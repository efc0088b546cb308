#include "tests/framework/lv2/DirectInstance.h"

#include <cstring>

#include "framework/lv2/IPlugLV2.h"

UridMap& DirectInstance::Urids() {
  static UridMap urids;
  return urids;
}

DirectInstance::DirectInstance(const Setup& setup)
    : mDescriptor(IPlugLV2::Descriptor(kTestIdentity, setup.layout)),
      mChannels(kLV2Layouts[setup.layout].mChannels),
      mFeatures{Urids().feature(), nullptr},
      mEnabled(setup.enabled ? 1.0f : 0.0f) {
  LV2TestPlug defaults;
  for (int i = 0; i < LV2TestPlug::kNumParams; ++i)
    mControls.push_back(static_cast<float>(defaults.GetParam(i)->GetDefault()));
  mHandle = mDescriptor->instantiate(mDescriptor, setup.sampleRate, "", mFeatures);
  if (!mHandle) return;
  const uint32_t meter = LV2TestPlug::kNumParams;
  mDescriptor->connect_port(mHandle, meter, &mMeter);
  mDescriptor->connect_port(mHandle, meter + 1 + 2 * static_cast<uint32_t>(mChannels), &mEnabled);
  if (setup.controlsFirst) ConnectControls();
  mDescriptor->activate(mHandle);
}

DirectInstance::DirectInstance() : DirectInstance(Setup()) {}

DirectInstance::~DirectInstance() {
  if (!mHandle) return;
  mDescriptor->deactivate(mHandle);
  mDescriptor->cleanup(mHandle);
}

double DirectInstance::Param(int paramIdx) const {
  return static_cast<const IPlugLV2*>(mHandle)->GetParam(paramIdx)->Value();
}

void DirectInstance::ConnectControls() {
  for (uint32_t i = 0; i < mControls.size(); ++i)
    mDescriptor->connect_port(mHandle, i, &mControls[i]);
}

void DirectInstance::connectInputs(const float* const* channels) {
  const uint32_t first = LV2TestPlug::kNumParams + 1;
  for (int c = 0; c < mChannels; ++c)
    mDescriptor->connect_port(mHandle, first + static_cast<uint32_t>(c),
                              const_cast<float*>(channels[c]));
}

void DirectInstance::connectOutputs(float* const* channels) {
  const uint32_t first = LV2TestPlug::kNumParams + 1 + static_cast<uint32_t>(mChannels);
  for (int c = 0; c < mChannels; ++c)
    mDescriptor->connect_port(mHandle, first + static_cast<uint32_t>(c), channels[c]);
}

const LV2_State_Interface* DirectInstance::State() const {
  return static_cast<const LV2_State_Interface*>(mDescriptor->extension_data(LV2_STATE__interface));
}
