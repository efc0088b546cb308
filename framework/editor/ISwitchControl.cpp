#include "framework/editor/ISwitchControl.h"

ISwitchControl::ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  const int n = mBitmap.FrameCount();
  double value = GetValue() + (n > 1 ? 1.0 / (n - 1) : 1.0);
  // The slack keeps the last step of a many-frame switch, which may land a
  // rounding error above 1, from wrapping early.
  if (value > 1.001) value = 0.0;
  SetValue(value);
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  ISwitchControl::OnMouseDown(x, y, mod);
}
