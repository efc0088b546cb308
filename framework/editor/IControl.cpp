#include "framework/editor/IControl.h"

#include <cmath>
#include <cstdio>

#include "framework/base/MorvexAssert.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/ITextControl.h"
#include "framework/plugin/IPlugBase.h"

IControl::AuxParam::AuxParam(int paramIdx) : mParamIdx(paramIdx) {
  MORVEX_ASSERT(paramIdx > -1);
}

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx, IChannelBlend blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend) {}

void IControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}
void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  const double defaultValue = GetDefaultValue();
  if (defaultValue >= 0.0) {
    SetValue(defaultValue);
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseMod*, int) {}

bool IControl::OnKeyDown(int, int, int) {
  return false;
}

void IControl::OnMouseOver(int, int, IMouseMod*) {}
void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value) {
  if (!std::isfinite(value)) return;
  if (GetDefaultValue() < 0.0) {
    mDefaultValue.store(value, std::memory_order_relaxed);
    SetValue(value);
  }
  if (GetValue() != value) {
    SetValue(value);
    SetDirty(false);
    Redraw();
  }
}

void IControl::SetValueFromUserInput(double value) {
  if (!std::isfinite(value)) return;
  if (GetValue() != value) {
    SetValue(value);
    SetDirty(true);
    Redraw();
  }
}

void IControl::TextFromTextEntry(const char*) {}

void IControl::Hide(bool hide) {
  mHide = hide;
  Redraw();
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) {
  return mTargetRECT.Contains(x, y);
}

void IControl::SetDirty(bool pushParamToPlug) {
  double value = GetValue();
  if (value < mClampLo) {
    value = mClampLo;
  } else if (value > mClampHi) {
    value = mClampHi;
  }
  SetValue(value);
  // Release: whoever reads the new count also reads the value stored above.
  mChanges.fetch_add(1, std::memory_order_release);

  IParam* param = pushParamToPlug ? GetParam() : nullptr;
  if (!param) return;
  mPlug->SetParameterFromGUI(mParamIdx, value);
  if (mValDisplayControl) {
    IParam::DisplayString display;
    param->GetDisplayForHost(display);
    char text[3 * MAX_PARAM_DISPLAY_LEN + 2];
    std::snprintf(text, sizeof text, "%.*s %.*s", MAX_PARAM_DISPLAY_LEN, display,
                  MAX_PARAM_DISPLAY_LEN, param->GetLabelForHost());
    mValDisplayControl->SetTextFromPlug(text);
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(param->GetNameForHost());
}

void IControl::SetClean() {
  mCleanAt = mSnapshot;
  mDirtyForOneMorePass = mRedraw.exchange(false, std::memory_order_relaxed);
}

bool IControl::IsDirty() {
  return mDirtyForOneMorePass || mChanges.load(std::memory_order_acquire) != mCleanAt;
}

void IControl::OnGUIIdle() {}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  if (auxParamIdx < 0 || auxParamIdx >= mAuxParams.GetSize() || !std::isfinite(value)) return;
  AuxParam* aux = mAuxParams.Get() + auxParamIdx;
  if (aux->mValue != value) {
    aux->mValue = value;
    SetDirty(false);
    Redraw();
  }
}

void IControl::Clamp(double lo, double hi) {
  if (!std::isnan(lo)) mClampLo = lo;
  if (!std::isnan(hi)) mClampHi = hi;
}

IParam* IControl::GetParam() const {
  return mPlug && mParamIdx >= 0 ? mPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::AddAuxParam(int paramIdx) {
  const AuxParam aux(paramIdx);
  mAuxParams.Add(aux);
}

IControl::AuxParam* IControl::GetAuxParam(int idx) {
  MORVEX_ASSERT(idx > -1 && idx < mAuxParams.GetSize());
  return mAuxParams.Get() + idx;
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  }
  return -1;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    const AuxParam& aux = mAuxParams.Get()[i];
    mPlug->SetParameterFromGUI(aux.mParamIdx, aux.mValue);
  }
}

IGraphics* IControl::GetGUI() const {
  return mPlug ? dynamic_cast<IGraphics*>(mPlug->GetGUI()) : nullptr;
}

void IControl::PromptUserInput() {
  IParam* param = GetParam();
  if (!param || mDisablePrompt) return;
  if (param->GetNDisplayTexts()) {
    PromptUserInput(&mRECT);
  } else {
    const int cx = static_cast<int>(mRECT.MW());
    const int cy = static_cast<int>(mRECT.MH());
    IRECT textRect(cx - 20, cy - 8, cx + 20, cy + 8);
    PromptUserInput(&textRect);
  }
  Redraw();
}

void IControl::PromptUserInput(IRECT* textRect) {
  IParam* param = GetParam();
  IGraphics* graphics = GetGUI();
  if (!param || mDisablePrompt || !graphics) return;
  graphics->PromptUserInput(this, param, textRect);
}
