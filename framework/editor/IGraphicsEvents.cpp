// Mouse, wheel and key dispatch, and the gestures the host hears of.
#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"
#include "framework/plugin/IPlugBase.h"

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mMouseCapture >= 0) return mMouseCapture;
  // Later controls lie on top.
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* control = mControls.Get(i);
    const bool grayedOut = control->IsGrayed() && !(mouseOver && control->GetMOWhenGrayed());
    if (!control->IsHidden() && !grayedOut && control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::CaptureMouse(int controlIdx, int x, int y, bool beginGesture) {
  mMouseCapture = controlIdx;
  mMouseX = x;
  mMouseY = y;
  const int paramIdx = mControls.Get(controlIdx)->ParamIdx();
  if (beginGesture && mPlug && paramIdx >= 0) {
    mPlug->BeginInformHostOfParamChange(paramIdx);
    mGestureParam = paramIdx;
  }
}

void IGraphics::ReleaseMouseCapture() {
  mMouseCapture = mMouseX = mMouseY = -1;
  // A menu or text field that takes over the mouse swallows the button-up,
  // so the gesture ends here rather than never.
  if (mGestureParam >= 0) {
    const int paramIdx = mGestureParam;
    mGestureParam = -1;
    if (mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
  }
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  CaptureMouse(c, x, y, true);
  mControls.Get(c)->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
  // Found before the capture ends, so a drag released outside the control
  // still reaches it.
  const int c = GetMouseControlIdx(x, y);
  mMouseCapture = mMouseX = mMouseY = -1;
  if (c >= 0) mControls.Get(c)->OnMouseUp(x, y, mod);
  ReleaseMouseCapture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
  IControl* control = mControls.Get(mMouseCapture);
  if (!control) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return false;
  IControl* control = mControls.Get(c);
  if (control->MouseDblAsSingleClick()) {
    // Taken as a second button-down, with its own begin so that the
    // button-up's end has one to match.
    CaptureMouse(c, x, y, true);
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int delta) {
  const int c = GetMouseControlIdx(x, y);
  if (c >= 0) mControls.Get(c)->OnMouseWheel(x, y, mod, delta);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
  if (!mHandleMouseOver) return false;
  const int c = GetMouseControlIdx(x, y, true);
  if (c < 0) return true;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(c)->OnMouseOver(x, y, mod);
  if (mMouseOver >= 0 && mMouseOver != c) {
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  }
  mMouseOver = c;
  return true;
}

void IGraphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  // Never the background: keys over it go to the catcher.
  const int c = GetMouseControlIdx(x, y);
  if (c > 0) return mControls.Get(c)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y) {
  const int c = GetMouseControlIdx(x, y);
  mLastClickedParam = c > 0 ? mControls.Get(c)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation() {
  const int paramIdx = mLastClickedParam;
  mLastClickedParam = -1;
  return paramIdx;
}
