#include "framework/editor/IBitmapControl.h"

#include "framework/editor/IGraphics.h"

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, bitmap), paramIdx, IChannelBlend(blendMethod)),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

int IBitmapControl::FrameForValue() const {
  const int n = mBitmap.FrameCount();
  if (n < 2) return 1;
  const int frame = 1 + static_cast<int>(0.5 + GetValue() * (n - 1));
  return frame < 1 ? 1 : (frame > n ? n : frame);
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(), &mBlend);
}
