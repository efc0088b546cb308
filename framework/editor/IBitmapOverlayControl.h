#pragma once

#include "framework/editor/ISwitchControl.h"

// An image shown over the editor by a click on a small target area and
// hidden again by a click anywhere on it. While hidden (value below 0.5)
// it draws nothing and only the target area takes clicks; while shown its
// whole rectangle does. The hit area follows the value when the control is
// drawn, so it changes on the redraw after the click, never during one.
// [UI thread]
class IBitmapOverlayControl : public ISwitchControl {
 public:
  IBitmapOverlayControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap, IRECT targetArea);

  bool Draw(IGraphics* graphics) override;

 protected:
  IRECT mTargetArea;
};
