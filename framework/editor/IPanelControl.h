#pragma once

#include "framework/editor/IColor.h"
#include "framework/editor/IControl.h"

// A rectangle filled with one colour, bound to no parameter: the simplest
// background. [UI thread]
class IPanelControl : public IControl {
 public:
  IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color);

  bool Draw(IGraphics* graphics) override;

 protected:
  IColor mColor;
};
