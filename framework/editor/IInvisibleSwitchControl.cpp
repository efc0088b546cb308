#include "framework/editor/IInvisibleSwitchControl.h"

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendCopy)) {
  SetPromptDisabled(true);
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  SetValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}

bool IInvisibleSwitchControl::Draw(IGraphics*) {
  return true;
}
