#pragma once

#include <string>
#include <vector>

#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/LV2Identity.h"

// A small plug-in on the LV2 wrapper, for the wrapper's own tests. Its
// effect remembers for long: each output sample is −Level times a slow
// running average of the input (Average), so a block split in the wrong
// place, a lost sample or an engine that stopped while bypassed all show in
// the output long after. Its meter output reads ten times the last output
// sample's size, often past the range it declares. Mode names all its
// values, Steps only its first; the rest exercise port symbols, numbers and
// repeated presets.
class LV2TestPlug : public IPlugLV2 {
 public:
  enum { kLevel = 0, kMode, kSteps, kSecondOrder, kNumParams };
  // Presets 1 and 3 have the same name and settings.
  static constexpr int kNumPresets = 3;
  static constexpr int kVersion = 0x010203;  // 1.2.3

  // The effect's law, one sample of one channel at a time.
  static double Average(double average, double input) {
    return average + (input - average) / 1024.0;
  }

  explicit LV2TestPlug(IPlugInstanceInfo info = IPlugInstanceInfo(),
                       const char* channelIO = "1-1 2-2");

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override;
  std::string ValueName(int paramIdx, int value) const override;
  int NDisplayOutputs() const override { return 1; }
  IDisplayOutput GetDisplayOutput(int idx) const override;
  double DisplayOutputValue(int idx) const noexcept override;

 private:
  double mLevel;
  double mAverage[2] = {0.0, 0.0};
  double mLast = 0.0;
};

// The family the tests' descriptors are made for.
extern const LV2Identity kTestIdentity;

// What the plug-in makes of interleaved frames at its default Level,
// rounded to the ports' single precision as the wrapper rounds it.
std::vector<float> DefaultOutput(const std::vector<float>& interleaved, int channels);
