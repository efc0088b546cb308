#include "framework/editor/IKnobLineControl.h"

#include "framework/editor/IGraphics.h"

IKnobLineControl::IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing),
      mColor(color ? *color : COLOR_BLACK),
      mMinAngle(static_cast<float>(minAngle)),
      mMaxAngle(static_cast<float>(maxAngle)),
      mInnerRadius(static_cast<float>(innerRadius)),
      mOuterRadius(static_cast<float>(outerRadius == 0.0 ? 0.5 * rect.W() : outerRadius)) {
  mBlend = IChannelBlend(IChannelBlend::kBlendCopy);
}

float IKnobLineControl::Angle() const {
  return mMinAngle + static_cast<float>(GetValue()) * (mMaxAngle - mMinAngle);
}

bool IKnobLineControl::Draw(IGraphics* graphics) {
  return graphics->DrawRadialLine(&mColor, mRECT.MW(), mRECT.MH(), Angle(), mInnerRadius,
                                  mOuterRadius, &mBlend, true);
}
