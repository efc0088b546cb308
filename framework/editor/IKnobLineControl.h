#pragma once

#include "framework/editor/IColor.h"
#include "framework/editor/IKnobControl.h"

// A knob drawn as an anti-aliased line from the inner to the outer radius
// around the rectangle's centre, at an angle running from the minimum at 0
// to the maximum at 1 (radians, 0 straight up, clockwise). An outer radius
// of 0 reaches half the rectangle's width. [UI thread]
class IKnobLineControl : public IKnobControl {
 public:
  static constexpr double kDefaultMinAngle = -0.75 * 3.14159265358979323846;
  static constexpr double kDefaultMaxAngle = 0.75 * 3.14159265358979323846;

  IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = kDefaultMinAngle, double maxAngle = kDefaultMaxAngle,
                   EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;
  // The angle the current value points the line at.
  float Angle() const;

 protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};
