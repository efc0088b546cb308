#include "framework/editor/IBitmapControl.h"

#include "framework/editor/IGraphics.h"
#include "framework/editor/StepForValue.h"

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, bitmap), paramIdx, IChannelBlend(blendMethod)),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

int IBitmapControl::FrameForValue() const {
  return 1 + StepForValue(GetValue(), mBitmap.FrameCount());
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(), &mBlend);
}
