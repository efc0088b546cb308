#pragma once

#include "framework/editor/IBitmap.h"
#include "framework/editor/IKnobControl.h"

// A knob whose base image stays put while a mask rotated over it lets the
// base show through and a top image rotates with the mask, from the
// minimum angle at 0 to the maximum at 1 (degrees, clockwise). The
// rectangle is the base image's. [UI thread]
class IKnobRotatingMaskControl : public IKnobControl {
 public:
  IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* base,
                           const IBitmap* mask, const IBitmap* top, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = kVertical,
                           double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;
  double Angle() const { return mMinAngle + GetValue() * (mMaxAngle - mMinAngle); }

 protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
