#include "effect/MorvexReadout.h"

#include <algorithm>

#include "effect/Morvex.h"
#include "effect/ParameterMeaning.h"
#include "framework/editor/IGraphics.h"
#include "framework/plugin/IParam.h"

namespace {

constexpr IColor kBoxColor(255, 24, 24, 28);
constexpr IColor kInkColor(255, 236, 236, 236);
constexpr int kTextSize = 11;
constexpr int kPad = 4;
constexpr int kFieldWidth = 80, kFieldHeight = 16;

// The sweep's frequencies are the same at every rate at and above 44.1 kHz,
// so an editor whose plug-in has no rate yet measures at that one.
double RateOf(const IPlugBase* plug) {
  const double rate = plug->GetSampleRate();
  return rate > 0.0 ? rate : 44100.0;
}

ParameterRange RangeOf(const IParam* param) {
  return {param->GetMin(), param->GetMax(), param->Type() == IParam::kTypeInt};
}

}  // namespace

MorvexReadout::MorvexReadout(IPlugBase* plug, IRECT band)
    : IControl(plug, band),
      mBand(band),
      mStyle(kTextSize, &kInkColor, "DejaVu Sans", IText::kStyleNormal, IText::kAlignCenter) {}

std::string MorvexReadout::ReadoutFor(const IControl* control) const {
  const IParam* param = control->GetParam();
  if (!param) return "";
  const double freq = mPlug->GetParam(Morvex::kFreq)->Value();
  return std::string(param->GetNameForHost()) + " " +
         ValueText(control->ParamIdx(), param->Value(), freq, RateOf(mPlug));
}

void MorvexReadout::Show(const IControl* control, std::string text) {
  mShown = control;
  mShownValue = control ? control->GetValue() : 0.0;
  if (text == mText) return;
  mText = std::move(text);
  SetDirty(false);
}

void MorvexReadout::Clear() {
  mShown = nullptr;
  mMessage = false;
  if (mText.empty()) return;
  mText.clear();
  SetDirty(false);
}

void MorvexReadout::Hover(IControl* control) {
  if (control == mHovered) return;
  mHovered = control;
  if (!mMessage) Clear();
  mHoverPending = true;
  mHoverDue = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(kHoverDelaySeconds));
}

void MorvexReadout::Leave(IControl* control) {
  if (control != mHovered) return;
  mHovered = nullptr;
  mHoverPending = false;
  if (!mMessage) Clear();
}

void MorvexReadout::Follow(IControl* control) {
  mHoverPending = false;
  mMessage = false;
  Show(control, ReadoutFor(control));
}

void MorvexReadout::OpenField(IControl* control) {
  const IParam* param = control->GetParam();
  if (!param) return;
  const IRECT* at = control->GetRECT();
  const double freq = mPlug->GetParam(Morvex::kFreq)->Value();
  OpenTextField(
      control, (at->L + at->R) / 2, (at->T + at->B) / 2, kFieldWidth,
      UnitsText(control->ParamIdx(), RangeOf(param), param->Value(), freq, RateOf(mPlug)));
}

void MorvexReadout::OpenTextField(IControl* control, int cx, int cy, int width,
                                  const std::string& text) {
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  mHoverPending = false;
  Clear();
  const int left = std::clamp(cx - width / 2, 0, std::max(graphics->Width() - width, 0));
  IRECT field(left, cy - kFieldHeight / 2, left + width, cy + kFieldHeight / 2);
  IText style = mStyle;
  // Without a parameter the field filters nothing: units need letters.
  graphics->CreateTextEntry(control, &style, &field, text.c_str(), nullptr);
}

void MorvexReadout::Say(const std::string& message) {
  mHoverPending = false;
  Show(nullptr, message);
  mMessage = true;
  mMessageEnds = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(kMessageSeconds));
}

void MorvexReadout::TakeText(IControl* control, const char* text) {
  IParam* param = control->GetParam();
  if (!param || !text) return;
  const int idx = control->ParamIdx();
  const double freq = mPlug->GetParam(Morvex::kFreq)->Value();
  const auto value = ValueFromText(idx, RangeOf(param), text, freq, RateOf(mPlug));
  if (!value) {
    Say(std::string("not a value: ") + text);
    return;
  }
  mPlug->BeginInformHostOfParamChange(idx);
  control->SetValueFromUserInput(param->GetNormalized(*value));
  mPlug->EndInformHostOfParamChange(idx);
  Follow(control);
}

bool MorvexReadout::IsDirty() {
  if (mHoverPending || mMessage || mShown) {
    const Clock::time_point now = Clock::now();
    if (mMessage && now >= mMessageEnds) Clear();
    if (mHoverPending && !mMessage && now >= mHoverDue) {
      mHoverPending = false;
      if (mHovered) Show(mHovered, ReadoutFor(mHovered));
    }
    // A value the host moved while the readout shows.
    if (mShown && mShown->GetValue() != mShownValue) Show(mShown, ReadoutFor(mShown));
  }
  return IControl::IsDirty();
}

bool MorvexReadout::Draw(IGraphics* graphics) {
  if (mText.empty()) return true;
  IRECT measured = mBand;
  std::string text = mText;
  graphics->MeasureIText(&mStyle, text.data(), &measured);
  const int width = std::min(measured.W() + 2 * kPad, mBand.W());
  // Under the control it tells of, kept inside the band; a message sits
  // in the band's middle.
  int cx = (mBand.L + mBand.R) / 2;
  if (mShown) cx = (mShown->GetRECT()->L + mShown->GetRECT()->R) / 2;
  const int left = std::clamp(cx - width / 2, mBand.L, mBand.R - width);
  IRECT box(left, mBand.T, left + width, mBand.B);
  graphics->FillIRect(&kBoxColor, &box);
  return graphics->DrawIText(&mStyle, text.data(), &box);
}
