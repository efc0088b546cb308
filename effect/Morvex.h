#pragma once

#include <atomic>

#include "effect/dsp/CPhaser.h"
#include "framework/au/IPlugAU.h"

// The stereo phaser plug-in: identity, seven parameters, ten factory presets,
// the engine and the hooks that keep the editor's displays in step. Every
// editor hook is skipped while no editor is attached.
class Morvex : public IPlugAU {
 public:
  enum EParams { kMix = 0, kStages, kFreq, kFeedback, kSpread, kRate, kDepth, kNumParams };
  static constexpr int kNumPresets = 10;
  // Processed frames between two values for the LFO display.
  static constexpr double kLfoDisplayInterval = 2048.0;

  // [UI thread]
  explicit Morvex(IPlugInstanceInfo instanceInfo);
  ~Morvex() override;

  // Restarts the engine at the current sample rate. [UI thread]
  void Reset() override;
  // Hands the parameter's value to the engine; indices outside the table do
  // nothing. [UI thread; also the host's parameter thread]
  void OnParamChange(int paramIdx) override;
  // Reads inputs 0 and 1, writes outputs 0 and 1. [audio thread]
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override;

 private:
  void CreatePresets();
  // Editor hooks. [UI thread]
  void UpdateRings(IPlugEditor* editor);
  void UpdateGrayOut(IPlugEditor* editor);
  void UpdateSweepTop(IPlugEditor* editor);

  // The dry share: 1 - Mix. Read by the audio thread, so atomic.
  std::atomic<double> mMix{0.5};
  int mStages = 3;
  double mFreq = 0.0;
  double mDepth = 1.0;
  // Editor control indices of the displays; -1 until an editor layout
  // stores the indices its controls got.
  double mRingCtrl[6] = {-1.0, -1.0, -1.0, -1.0, -1.0, -1.0};
  double mFreqMaskCtrl = -1.0;
  double mDepthMaskCtrl = -1.0;
  double mLfoMaskCtrl = -1.0;
  double mLfoDisplay = 0.0;
  double mLfoCountdown = 0.0;
  CPhaser mPhaser;
};
