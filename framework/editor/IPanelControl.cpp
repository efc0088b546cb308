#include "framework/editor/IPanelControl.h"

#include "framework/editor/IGraphics.h"

IPanelControl::IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect), mColor(color ? *color : COLOR_TRANSPARENT) {}

bool IPanelControl::Draw(IGraphics* graphics) {
  return graphics->FillIRect(&mColor, &mRECT, &mBlend);
}
