#pragma once

#include "framework/editor/ITextControl.h"

// Shows a parameter's display text, optionally followed by its unit label;
// a click asks for a new value once prompting is enabled. [UI thread]
class ICaptionControl : public ITextControl {
 public:
  ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text,
                  bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

 protected:
  bool mShowParamLabel;
};
