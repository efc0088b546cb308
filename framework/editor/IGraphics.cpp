#include "framework/editor/IGraphics.h"

#include "framework/editor/IBitmapControl.h"
#include "framework/editor/IControl.h"
#include "framework/editor/IPanelControl.h"
#include "framework/plugin/IPlugBase.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int fps)
    : mPlug(plug), mWidth(w), mHeight(h), mFPS(fps < 1 ? kDefaultFPS : fps) {}

IGraphics::~IGraphics() {
  if (!IsAttached(mKeyCatcher)) delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteControls();
  delete mDrawBitmap;
  delete mTmpBitmap;
}

bool IGraphics::WindowIsOpen() {
  return GetWindow() != nullptr;
}

const char* IGraphics::GetGUIAPI() {
  return "";
}

void* IGraphics::OpenWindow(void*, void*, short, short) {
  return nullptr;
}

void IGraphics::WindowClosed() {
  if (mPlug) mPlug->GUIClosed();
}

void IGraphics::AttachSubWindow(void*) {}
void IGraphics::RemoveSubWindow() {}
void IGraphics::HideMouseCursor() {}
void IGraphics::ShowMouseCursor() {}

void IGraphics::Resize(int w, int h) {
  if (mPlug) {
    IPlugBase::IMutexLock lock(mPlug);
    if (mPlug->CanRender()) return;
  }
  // Nothing may keep pointing into the layout about to be thrown away.
  ForceEndUserEdit();
  ReleaseMouseCapture();
  mMouseOver = -1;
  mWidth = w;
  mHeight = h;
  DeleteControls();
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
  // The new layout is attached before PrepDraw freezes the list again.
  if (mPlug) mPlug->ResizeGraphics(w, h);
  PrepDraw();
}

void IGraphics::PrepDraw() {
  delete mDrawBitmap;
  mDrawBitmap = new LICE_SysBitmap(mWidth, mHeight);
  delete mTmpBitmap;
  mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
  mDrawRECT = EditorRECT();
  mControlsFrozen = true;
}

bool IGraphics::IsAttached(const IControl* control) const {
  return control && mControls.Find(control) >= 0;
}

int IGraphics::AttachControl(IControl* control) {
  if (!control || IsAttached(control)) return -1;
  if (mControlsFrozen || !mControls.Add(control)) {
    if (control != mKeyCatcher) delete control;
    return -1;
  }
  return mControls.GetSize() - 1;
}

void IGraphics::AttachBackground(int id, const char* name) {
  IBitmap bitmap = LoadIBitmap(id, name, 1, false);
  IControl* background = new IBitmapControl(mPlug, 0, 0, -1, &bitmap, IChannelBlend::kBlendCopy);
  if (mControlsFrozen || !mControls.Insert(0, background)) delete background;
}

void IGraphics::AttachPanelBackground(const IColor* color) {
  IControl* background = new IPanelControl(mPlug, EditorRECT(), color);
  if (mControlsFrozen || !mControls.Insert(0, background)) delete background;
}

void IGraphics::AttachKeyCatcher(IControl* control) {
  if (control == mKeyCatcher) return;
  if (!IsAttached(mKeyCatcher)) delete mKeyCatcher;
  mKeyCatcher = control;
}

void IGraphics::DeleteControls() {
  mControlsFrozen = false;
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* control = mControls.Get(i);
    mControls.Delete(i);
    if (control != mKeyCatcher) delete control;
  }
}

void IGraphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
    const int auxIdx = control->AuxParamIdx(paramIdx);
    if (auxIdx >= 0) control->SetAuxParamValueFromPlug(auxIdx, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  if (IControl* control = mControls.Get(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->SetDirty(false);
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
  }
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::AssignParamNameToolTips() {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (const IParam* param = control->GetParam()) control->SetTooltip(param->GetNameForHost());
  }
}

void IGraphics::OnGUIIdle() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->OnGUIIdle();
}
