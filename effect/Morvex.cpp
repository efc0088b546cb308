#include "effect/Morvex.h"

#include <algorithm>

#include "effect/MorvexIdentity.h"
#include "effect/ParameterMeaning.h"
#include "framework/base/NumericConversions.h"
#include "framework/editor/IGraphics.h"

namespace {
struct ParamRow {
  const char* name;
  bool isIndex;  // a whole-number setting rather than a continuous one
  double defaultValue, min, max;
};

// In Morvex::EParams order. Every parameter has no label and no group; the
// continuous ones move in hundredths along a linear shape.
constexpr ParamRow kParamRows[Morvex::kNumParams] = {
    {"Mix", false, 0.5, 0.0, 1.0},    {"Stages", true, 3.0, 0.0, 5.0},
    {"Freq", false, 0.0, 0.0, 1.0},   {"Feedback", false, 0.5, 0.0, 1.0},
    {"Spread", false, 1.0, 0.0, 1.0}, {"Rate", false, 0.29, 0.0, 1.0},
    {"Depth", false, 1.0, 0.0, 1.0},
};
constexpr double kStep = 0.01;
constexpr double kLinearShape = 1.0;

constexpr double defaultOf(Morvex::EParams p) {
  return kParamRows[p].defaultValue;
}
}  // namespace

Morvex::Morvex(IPlugInstanceInfo instanceInfo)
    : IPlug(instanceInfo, kNumParams, "1-1 2-2", kNumPresets, kMorvexName, "", kMorvexManufacturer,
            kMorvexVersion, static_cast<int>(kMorvexSubtype),
            static_cast<int>(kMorvexManufacturerID), 0, false, false, false, 0),
      mMix(DryShare(defaultOf(kMix))),
      mStages(static_cast<int>(defaultOf(kStages))),
      mFreq(defaultOf(kFreq)),
      mDepth(defaultOf(kDepth)),
      mWithEditor(instanceInfo.mWithEditor),
      mImageFolder(instanceInfo.mResourceFolder),
      mEditorLoop(instanceInfo.mEventLoop) {
  for (int i = 0; i < kNumParams; ++i) {
    const ParamRow& row = kParamRows[i];
    if (row.isIndex) {
      GetParam(i)->InitInt(row.name, static_cast<int>(row.defaultValue), static_cast<int>(row.min),
                           static_cast<int>(row.max), "", "");
    } else {
      GetParam(i)->InitDouble(row.name, row.defaultValue, row.min, row.max, kStep, "", "",
                              kLinearShape);
    }
  }
  // The engine keeps its own settings until the host initialises the unit
  // and the parameters are delivered.
  CreatePresets();
}

Morvex::~Morvex() = default;

IPlugEditor* Morvex::MakeGUI() {
  IPlugEditor* editor = mWithEditor ? MakeEditor(mImageFolder.Get(), mEditorLoop) : nullptr;
  // One whose images cannot be loaded is dropped when attached: the effect
  // works without one.
  if (!editor || !editor->IsComplete()) return editor;
  // The displays follow parameter changes from now on; until now there was
  // nothing to show them.
  IMutexLock lock(this);
  UpdateRings(editor);
  UpdateGrayOut(editor);
  editor->SetControlFromPlug(mFreqMaskCtrl, mFreq);
  UpdateSweepTop(editor);
  editor->SetControlFromPlug(mLfoMaskCtrl, mLfoDisplay);
  return editor;
}

void Morvex::CreatePresets() {
  MakePreset("Classic Virus", 0.5, 3, 0.0, 0.5, 1.0, 0.29, 1.0);
  MakePreset("One Stage", 0.5, 0, 0.22, 0.64, 1.0, 0.47, 0.72);
  MakePreset("Twin", 0.78, 1, 0.14, 0.87, 0.46, 0.54, 0.8);
  MakePreset("Tri Force", 0.5, 2, 0.38, 0.82, 0.41, 0.54, 0.35);
  MakePreset("Winds", 0.5, 4, 0.58, 0.91, 1.0, 0.25, 0.35);
  MakePreset("Hexagon", 0.5, 5, 0.0, 0.72, 0.0, 0.29, 1.0);
  for (int i = 0; i < 4; ++i)
    MakePreset("Init", 0.5, 3, 0.0, 0.5, 1.0, 0.5, 1.0);
}

void Morvex::Reset() {
  IMutexLock lock(this);
  mPhaser.reset(GetSampleRate());
}

void Morvex::OnParamChange(int paramIdx) {
  IMutexLock lock(this);
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  const double value = param->Value();
  IPlugEditor* editor = GetGUI();
  switch (paramIdx) {
    case kMix:
      mMix.store(DryShare(value), std::memory_order_relaxed);
      mPhaser.setMix(DryShare(value));
      if (editor) {
        UpdateRings(editor);
        UpdateGrayOut(editor);
      }
      break;
    case kStages:
      mStages = TruncToInt(value);
      mPhaser.setStages(mStages);
      if (editor) UpdateRings(editor);
      break;
    case kFreq:
      mFreq = value;
      mPhaser.setFreq(value);
      if (editor) {
        editor->SetControlFromPlug(mFreqMaskCtrl, value);
        UpdateSweepTop(editor);
      }
      break;
    case kFeedback:
      mPhaser.setFeedback(value);
      break;
    case kSpread:
      mPhaser.setSpread(value);
      break;
    case kRate:
      mPhaser.setRate(value);
      break;
    case kDepth:
      mDepth = value;
      mPhaser.setDepth(value);
      if (editor) UpdateSweepTop(editor);
      break;
    default:
      break;
  }
}

// The ring of the selected stage count shows the Mix setting, the others
// their zero frame.
void Morvex::UpdateRings(IPlugEditor* editor) {
  if (mStages < 0 || mStages > 5) return;
  const double mix = GetParam(kMix)->Value();
  for (int k = 0; k < 6; ++k)
    editor->SetControlFromPlug(mRingCtrl[k], k == mStages ? mix : 0.0);
}

// At Mix 0 nothing but the dry signal is heard, so the other controls are
// greyed.
void Morvex::UpdateGrayOut(IPlugEditor* editor) {
  const bool gray = mMix.load(std::memory_order_relaxed) >= 1.0;
  for (int p = kStages; p <= kDepth; ++p)
    editor->GrayOutControl(p, gray);
}

// The top of the sweep on the Freq knob's scale.
void Morvex::UpdateSweepTop(IPlugEditor* editor) {
  editor->SetControlFromPlug(mDepthMaskCtrl, mFreq + mDepth * (1.0 - mFreq));
}

IDisplayOutput Morvex::GetDisplayOutput(int) const {
  return {"lfo", "LFO", 0.0, 1.0};
}

double Morvex::DisplayOutputValue(int) const noexcept {
  return mLfoDisplay;
}

void Morvex::OnDisplayOutput(int, double value) {
  if (IPlugEditor* editor = GetGUI()) editor->SetControlFromPlug(mLfoMaskCtrl, value);
}

std::string Morvex::ValueName(int paramIdx, int value) const {
  return paramIdx == kStages ? MeaningText(kStages, value, mFreq, GetSampleRate()) : "";
}

void Morvex::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept {
  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  // Mix at 0: the input passes untouched and the engine stands still.
  if (mMix.load(std::memory_order_relaxed) >= 1.0) {
    if (outL != inL) std::copy_n(inL, nFrames, outL);
    if (outR != inR) std::copy_n(inR, nFrames, outR);
    return;
  }
  IPlugEditor* editor = GetGUI();
  for (int done = 0; done < nFrames;) {
    // The engine runs in stretches that end on the frame after which the
    // LFO display is due.
    const int untilDisplay = static_cast<int>(std::max(mLfoCountdown, 0.0)) + 1;
    const int frames = std::min(nFrames - done, untilDisplay);
    mPhaser.processBlock(inL + done, inR + done, outL + done, outR + done, frames);
    done += frames;
    mLfoCountdown -= frames;
    if (frames == untilDisplay) {
      mLfoDisplay = mPhaser.getlfo();
      if (editor) editor->SetControlFromPlug(mLfoMaskCtrl, mLfoDisplay);
      mLfoCountdown = kLfoDisplayInterval - 1.0;
    }
  }
}
