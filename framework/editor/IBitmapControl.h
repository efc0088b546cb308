#pragma once

#include "framework/editor/IBitmap.h"
#include "framework/editor/IControl.h"

// Shows one frame of a bitmap strip chosen by the value: frame
// 1 + int(0.5 + value * (N - 1)), so 0 is the first frame and 1 the last.
// [UI thread]
class IBitmapControl : public IControl {
 public:
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  bool Draw(IGraphics* graphics) override;
  // The frame the current value selects, 1..N.
  int FrameForValue() const;

 protected:
  IBitmap mBitmap;
};
