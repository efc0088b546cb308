#pragma once

#include "framework/editor/IBitmap.h"
#include "framework/editor/IKnobControl.h"

// A knob drawn as one image rotated about the centre of its rectangle, from
// the minimum angle at 0 to the maximum at 1 (radians, clockwise); the
// y offset moves the rotation centre within the image. [UI thread]
class IKnobRotaterControl : public IKnobControl {
 public:
  static constexpr double kDefaultMinAngle = -0.75 * 3.14159265358979323846;
  static constexpr double kDefaultMaxAngle = 0.75 * 3.14159265358979323846;

  IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      double minAngle = kDefaultMinAngle, double maxAngle = kDefaultMaxAngle,
                      int yOffsetZeroDeg = 0, EDirection direction = kVertical,
                      double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;
  double Angle() const { return mMinAngle + GetValue() * (mMaxAngle - mMinAngle); }

 protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};
