#include "framework/editor/IKnobControl.h"

#include <cmath>

IKnobControl::IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction,
                           double gearing)
    : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing) {}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod) {
  double gearing = mGearing;
  if (mod && (mod->C || mod->S)) gearing *= 10.0;
  // Screen y grows downwards, so the vertical span is negated: moving up
  // raises the value.
  const double span = mDirection == kHorizontal ? static_cast<double>(mRECT.R) - mRECT.L
                                                : static_cast<double>(mRECT.T) - mRECT.B;
  if (span == 0.0 || gearing == 0.0) return;
  const double delta = (mDirection == kHorizontal ? dX : dY) / span / gearing;
  if (!std::isfinite(delta)) return;
  SetValue(GetValue() + delta);
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int d) {
  const bool fine = mod && (mod->C || mod->S);
  SetValue(GetValue() + (fine ? 0.001 : 0.01) * d);
  SetDirty(true);
}
