#include "framework/lv2/LV2Bypass.h"

#include <algorithm>

void LV2Bypass::Configure(int channels, double sampleRate, int maxFrames) {
  mChannels = std::min(channels, 2);
  mStep = static_cast<float>(1.0 / std::max(kFadeSeconds * sampleRate, 1.0));
  mWet = 1.0f;
  for (int c = 0; c < mChannels; ++c)
    mInput[c].Resize(maxFrames);
}

void LV2Bypass::KeepInput(const float* const* in, int nFrames) noexcept {
  for (int c = 0; c < mChannels; ++c)
    std::copy_n(in[c], nFrames, mInput[c].Get());
}

void LV2Bypass::Mix(float* const* out, int nFrames, bool enabled) noexcept {
  const float target = enabled ? 1.0f : 0.0f;
  float wet = mWet;
  for (int i = 0; i < nFrames; ++i) {
    if (wet != target) wet = enabled ? std::min(wet + mStep, 1.0f) : std::max(wet - mStep, 0.0f);
    for (int c = 0; c < mChannels; ++c) {
      const float dry = mInput[c].Get()[i];
      // The ends are exact: no rounding of a product touches them.
      if (wet == 0.0f) {
        out[c][i] = dry;
      } else if (wet != 1.0f) {
        out[c][i] = wet * out[c][i] + (1.0f - wet) * dry;
      }
    }
  }
  mWet = wet;
}
