#pragma once

#include <cstdint>
#include <vector>

#include "lv2/core/lv2.h"
#include "lv2/state/state.h"
#include "tests/framework/lv2/LV2TestPlug.h"
#include "tools/lv2host/UridMap.h"

// The test plug-in made through the wrapper's descriptor, as a host makes
// it, without a bundle: every control port connected to a value of its own
// (at the parameter's default), the audio ports to the caller's channels.
class DirectInstance {
 public:
  struct Setup {
    uint32_t layout = 0;  // a descriptor index: 0 stereo, 1 mono
    double sampleRate = 44100.0;
    // Most hosts connect the controls before activation; some only later,
    // after restoring a state.
    bool controlsFirst = true;
    bool enabled = true;  // the bypass port's value when activated
  };

  // Activates, unless the descriptor refused to instantiate.
  explicit DirectInstance(const Setup& setup);
  DirectInstance();
  ~DirectInstance();
  DirectInstance(const DirectInstance&) = delete;
  DirectInstance& operator=(const DirectInstance&) = delete;

  bool Made() const { return mHandle != nullptr; }
  int numInputs() const { return mChannels; }
  float& Control(int paramIdx) { return mControls[static_cast<size_t>(paramIdx)]; }
  float& Enabled() { return mEnabled; }
  float Meter() const { return mMeter; }
  // The plug-in's parameter as it stands, in full precision.
  double Param(int paramIdx) const;

  void ConnectControls();
  void connectInputs(const float* const* channels);
  void connectOutputs(float* const* channels);
  void run(uint32_t frames) { mDescriptor->run(mHandle, frames); }

  const LV2_State_Interface* State() const;
  LV2_Handle Handle() const { return mHandle; }
  const LV2_Feature* const* Features() const { return mFeatures; }
  static UridMap& Urids();

 private:
  const LV2_Descriptor* mDescriptor;
  LV2_Handle mHandle = nullptr;
  int mChannels;
  const LV2_Feature* mFeatures[2];
  std::vector<float> mControls;
  float mEnabled = 1.0f;
  float mMeter = 0.0f;
};
