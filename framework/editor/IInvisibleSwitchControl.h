#pragma once

#include "framework/editor/IControl.h"

// A clickable area over artwork drawn by something else: each click flips
// the value between 0 and 1 (below 0.5 counts as off). [UI thread]
class IInvisibleSwitchControl : public IControl {
 public:
  IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
};
