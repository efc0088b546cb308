#pragma once

#include "framework/editor/IBitmap.h"
#include "framework/editor/IKnobControl.h"

// A knob drawn as one frame of a strip of pre-rendered positions, chosen
// by the value as a bitmap control chooses it. [UI thread]
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                    EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;
  // The frame the current value selects, 1..N.
  int FrameForValue() const;

 protected:
  IBitmap mBitmap;
};
