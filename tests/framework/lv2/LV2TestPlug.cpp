#include "tests/framework/lv2/LV2TestPlug.h"

#include <cmath>

#include "framework/lv2/MakePlug.h"

const LV2Identity kTestIdentity = {"urn:test:wrapper", "urn:test:licence", "Test.so", "TestUI.so"};

IPlugLV2* MakePlug(IPlugInstanceInfo info) {
  return new LV2TestPlug(info);
}

LV2TestPlug::LV2TestPlug(IPlugInstanceInfo info, const char* channelIO)
    : IPlugLV2(info, kNumParams, channelIO, kNumPresets, "Test Plug", "", "Test Maker", kVersion, 1,
               2, 0, false, false, false, 0),
      mLevel(1.0 / 3.0) {
  GetParam(kLevel)->InitDouble("Level", mLevel, 0.0, 1e10, 0.001);
  GetParam(kMode)->InitInt("Mode", 1, 0, 2);
  GetParam(kSteps)->InitInt("Steps (max)", 0, 0, 3);
  GetParam(kSecondOrder)->InitBool("2nd Order", false);
  MakePreset("Quiet", 0.1, 0, 2, 0);
  MakePreset("Loud", 2.0, 2, 3, 1);
  MakePreset("Quiet", 0.1, 0, 2, 0);
}

void LV2TestPlug::Reset() {
  mAverage[0] = mAverage[1] = mLast = 0.0;
}

void LV2TestPlug::OnParamChange(int paramIdx) {
  if (paramIdx == kLevel) mLevel = GetParam(kLevel)->Value();
}

void LV2TestPlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept {
  for (int c = 0; c < NOutChannels() && c < 2; ++c) {
    for (int s = 0; s < nFrames; ++s) {
      mAverage[c] = Average(mAverage[c], inputs[c][s]);
      outputs[c][s] = -mLevel * mAverage[c];
      mLast = outputs[c][s];
    }
  }
}

std::string LV2TestPlug::ValueName(int paramIdx, int value) const {
  const char* const modes[] = {"Off", "Half", "Full"};
  if (paramIdx == kMode) return modes[value];
  return paramIdx == kSteps && value == 0 ? "None" : "";
}

IDisplayOutput LV2TestPlug::GetDisplayOutput(int) const {
  return {"meter", "Meter", 0.0, 1.0};
}

double LV2TestPlug::DisplayOutputValue(int) const noexcept {
  return 10.0 * std::fabs(mLast);
}

std::vector<float> DefaultOutput(const std::vector<float>& interleaved, int channels) {
  std::vector<float> out(interleaved.size());
  double average[2] = {0.0, 0.0};
  for (size_t i = 0; i < interleaved.size(); ++i) {
    double& a = average[i % static_cast<size_t>(channels)];
    a = LV2TestPlug::Average(a, interleaved[i]);
    out[i] = static_cast<float>(-(1.0 / 3.0) * a);
  }
  return out;
}
