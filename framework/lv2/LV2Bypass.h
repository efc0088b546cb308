#pragma once

#include "framework/base/WDL_TypedBuf.h"

// The click-free bypass behind a port with the lv2:enabled designation:
// the effect always runs, and its output is crossfaded linearly with the
// input over 20 ms whenever the port changes. Fully bypassed, the output
// is the input bit for bit; fully enabled, the effect's output untouched.
class LV2Bypass {
 public:
  static constexpr double kFadeSeconds = 0.02;

  // Room for maxFrames of each channel's input; starts enabled.
  // [UI thread]
  void Configure(int channels, double sampleRate, int maxFrames);
  // Jumps to the port's state without a fade, as a fresh start does.
  // [UI thread]
  void Settle(bool enabled) noexcept { mWet = enabled ? 1.0f : 0.0f; }

  // Whether the block needs the input kept: not while enabled and settled.
  // [audio thread]
  bool NeedsInput(bool enabled) const noexcept { return !(enabled && mWet == 1.0f); }
  // Keeps the input before the effect may overwrite it in place.
  // [audio thread]
  void KeepInput(const float* const* in, int nFrames) noexcept;
  // Blends the effect's output with the kept input, moving towards the
  // port's state. [audio thread]
  void Mix(float* const* out, int nFrames, bool enabled) noexcept;

 private:
  int mChannels = 0;
  float mStep = 1.0f;
  float mWet = 1.0f;  // the effect's share of the output
  WDL_TypedBuf<float> mInput[2];
};
