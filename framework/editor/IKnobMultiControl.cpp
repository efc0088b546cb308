#include "framework/editor/IKnobMultiControl.h"

#include "framework/editor/IGraphics.h"
#include "framework/editor/StepForValue.h"

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx,
                                     const IBitmap* bitmap, EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, bitmap), paramIdx, direction, gearing),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

int IKnobMultiControl::FrameForValue() const {
  return 1 + StepForValue(GetValue(), mBitmap.FrameCount());
}

bool IKnobMultiControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(), &mBlend);
}
