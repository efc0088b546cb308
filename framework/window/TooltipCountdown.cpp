#include "framework/window/TooltipCountdown.h"

#include <algorithm>

TooltipCountdown::TooltipCountdown(int fps) : mFPS(std::max(fps, 1)) {}

TooltipCountdown::Action TooltipCountdown::MouseOver(int controlIdx, bool hasTooltip) {
  if (controlIdx == mControlIdx) return kNone;
  const Action hide = Cancel();
  mControlIdx = controlIdx;
  // At least one tick, so a very low frame rate still counts down.
  if (hasTooltip) mTicks = std::max(mFPS * 3 / 2, 1);
  return hide;
}

TooltipCountdown::Action TooltipCountdown::Tick() {
  if (mTicks == 0 || --mTicks > 0) return kNone;
  if (!mShowing) {
    mShowing = true;
    mTicks = mFPS * 10;
    return kShow;
  }
  mShowing = false;
  return kHide;
}

TooltipCountdown::Action TooltipCountdown::Cancel() {
  mTicks = 0;
  const bool wasShowing = mShowing;
  mShowing = false;
  return wasShowing ? kHide : kNone;
}
