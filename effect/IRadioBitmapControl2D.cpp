#include "effect/IRadioBitmapControl2D.h"

IRadioBitmapControl2D::IRadioBitmapControl2D(IPlugBase* plug, int x, int y, int paramIdx,
                                             const IBitmap* bitmap, IRECT rect, int perLine,
                                             EDirection direction, bool dragSelects,
                                             IChannelBlend::EBlendMethod blend)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blend),
      mHitRect(rect.L + x, rect.T + y, rect.R + x, rect.B + y),
      mNStates(mBitmap.FrameCount()),
      mPerLine(perLine ? perLine : mBitmap.FrameCount()),
      mDirection(direction),
      mDragSelects(dragSelects) {}

void IRadioBitmapControl2D::OnMouseDown(int x, int y, IMouseMod*) {
  if (!mHitRect.Contains(x, y)) return;
  const long long k = mPerLine, n = mNStates;
  const long long w = mHitRect.W(), h = mHitRect.H();
  // A grid without cells or a strip of one state has nothing to choose
  // between.
  if (k < 1 || n < 2 || w < 1 || h < 1) return;
  const long long dx = x - mHitRect.L, dy = y - mHitRect.T;
  long long column, row;
  if (mDirection == kHorizontal) {
    column = (dx * k) / w;
    row = (dy * n) / (h * k);
  } else {
    column = (dy * k) / h;
    row = (dx * n) / (w * k);
  }
  SetValue(static_cast<double>(k * row + column) / static_cast<double>(n - 1));
  SetDirty(true);
}

void IRadioBitmapControl2D::OnMouseDrag(int x, int y, int, int, IMouseMod* mod) {
  if (mDragSelects) OnMouseDown(x, y, mod);
}

void IRadioBitmapControl2D::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  OnMouseDown(x, y, mod);
}
