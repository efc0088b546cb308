#pragma once

#include "framework/editor/IControl.h"

// The mouse side shared by every knob: dragging up (vertical) or right
// (horizontal) raises the value, only the pointer's movement counts, and a
// drag over the knob's own height (or width) moves it 1 / gearing of the
// range, ten times less with control or shift held. The wheel steps by
// 0.01, or 0.001 with control or shift. Subclasses draw. [UI thread]
class IKnobControl : public IControl {
 public:
  static constexpr double kDefaultGearing = 4.0;

  IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = kDefaultGearing);

  // A knob with no height (no width, if horizontal) or a gearing of 0 has
  // no drag law, so the drag is ignored there.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;

  EDirection GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }

 protected:
  EDirection mDirection;
  double mGearing;
};
