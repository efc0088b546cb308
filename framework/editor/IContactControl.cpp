#include "framework/editor/IContactControl.h"

IContactControl::IContactControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                 IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  SetValue(0.0);
  SetDirty(true);
}
