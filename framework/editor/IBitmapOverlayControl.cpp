#include "framework/editor/IBitmapOverlayControl.h"

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap,
                                             IRECT targetArea)
    : ISwitchControl(plug, x, y, -1, bitmap), mTargetArea(targetArea) {}

bool IBitmapOverlayControl::Draw(IGraphics* graphics) {
  if (GetValue() < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}
