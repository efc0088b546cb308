#pragma once

#include <atomic>
#include <string>

#include "effect/IPlug.h"
#include "effect/dsp/CPhaser.h"
#include "framework/base/WDL_String.h"

class IEventLoop;
class IGraphics;

// The stereo phaser plug-in: identity, seven parameters, ten factory presets,
// the engine and the hooks that keep the editor's displays in step. Every
// editor hook is skipped while no editor is attached.
class Morvex : public IPlug {
 public:
  enum EParams { kMix = 0, kStages, kFreq, kFeedback, kSpread, kRate, kDepth, kNumParams };
  static constexpr int kNumPresets = 10;
  // Processed frames between two values for the LFO display.
  static constexpr double kLfoDisplayInterval = 2048.0;

  // What the engine makes of Mix and Stages: its dry share, and the number
  // of sections. [any thread]
  static double DryShare(double mix) { return 1.0 - mix; }
  static int Sections(int stages) { return stages + 1; }

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

  // One display output: the LFO's position along the sweep, 0 to 1.
  int NDisplayOutputs() const override { return 1; }
  IDisplayOutput GetDisplayOutput(int idx) const override;
  double DisplayOutputValue(int idx) const noexcept override;
  void OnDisplayOutput(int idx, double value) override;
  // Stages counts from 0: hosts that list its values show the sections.
  std::string ValueName(int paramIdx, int value) const override;

  // The editor with its images and controls, the display indices stored;
  // images come from imageFolder when it is not empty, else the bundle.
  // Its window's timers run on loop. Called by MakeGUI, through the entry
  // of the editor's own library where the plug-in's library has none.
  // [UI thread]
  IGraphics* MakeEditor(const char* imageFolder, IEventLoop* loop);

 protected:
  // The editor as the settings and the sweep stand when a host first asks
  // for it; none for an instance whose host shows none. [UI thread]
  IPlugEditor* MakeGUI() override;

 private:
  void CreatePresets();
  // Editor hooks. [UI thread]
  void UpdateRings(IPlugEditor* editor);
  void UpdateGrayOut(IPlugEditor* editor);
  void UpdateSweepTop(IPlugEditor* editor);

  // 1 − the Mix parameter: the dry share the engine gets; 1 or more means
  // bypass. Read by the audio thread, so atomic.
  std::atomic<double> mMix;
  int mStages;
  double mFreq;
  double mDepth;
  // Editor control indices of the displays; -1 until an editor layout
  // stores the indices its controls got.
  int mRingCtrl[6] = {-1, -1, -1, -1, -1, -1};
  int mFreqMaskCtrl = -1;
  int mDepthMaskCtrl = -1;
  int mLfoMaskCtrl = -1;
  double mLfoDisplay = 0.0;
  double mLfoCountdown = 0.0;
  // What MakeGUI makes the editor with.
  bool mWithEditor;
  WDL_String mImageFolder;
  IEventLoop* mEditorLoop;
  CPhaser mPhaser;
};
