#include "framework/editor/IFaderControl.h"

#include "framework/base/NumericConversions.h"
#include "framework/editor/IGraphics.h"

namespace {

IRECT TrackRECT(int x, int y, int len, const IBitmap& handle, EDirection direction) {
  if (direction == kHorizontal) return IRECT(x, y, x + len, y + handle.FrameHeight());
  return IRECT(x, y, x + handle.FrameWidth(), y + len);
}

}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx,
                             const IBitmap* handle, EDirection direction, bool onlyHandle)
    : IControl(plug, TrackRECT(x, y, len, handle ? *handle : IBitmap(), direction), paramIdx),
      mLen(len),
      mBitmap(handle ? *handle : IBitmap()),
      mDirection(direction),
      mOnlyHandle(onlyHandle) {
  mHandleHeadroom = direction == kHorizontal ? mBitmap.FrameWidth() : mBitmap.FrameHeight();
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) {
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* mod, int d) {
  const bool fine = mod && (mod->C || mod->S);
  SetValue(GetValue() + (fine ? 0.001 : 0.01) * d);
  SetDirty(true);
}

void IFaderControl::SnapToMouse(int x, int y) {
  const double travel = static_cast<double>(mLen) - mHandleHeadroom;
  if (!(travel > 0.0)) return;
  const int half = mHandleHeadroom / 2;
  if (mDirection == kHorizontal) {
    SetValue((static_cast<double>(x) - mRECT.L - half) / travel);
  } else {
    SetValue(1.0 - (static_cast<double>(y) - mRECT.T - half) / travel);
  }
  SetDirty(true);
}

IRECT IFaderControl::GetHandleRECT(double value) const {
  if (value < 0.0) value = GetValue();
  if (!(value >= 0.0)) value = 0.0;
  if (value > 1.0) value = 1.0;
  const double travel = static_cast<double>(mLen) - mHandleHeadroom;
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.FrameWidth(), mRECT.T + mBitmap.FrameHeight());
  if (mDirection == kHorizontal) {
    const int offset = TruncToInt(value * travel);
    r.L += offset;
    r.R += offset;
  } else {
    const int offset = TruncToInt((1.0 - value) * travel);
    r.T += offset;
    r.B += offset;
  }
  return r;
}

bool IFaderControl::Draw(IGraphics* graphics) {
  IRECT r = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &r, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y) {
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}
