#pragma once

#include "framework/editor/ISwitchControl.h"

// A switch whose click asks for the value instead of stepping: a menu of
// the parameter's display texts, or a text field. Like every stock control
// it starts with prompting disabled; the layout enables it. A double-click
// steps like a plain switch. [UI thread]
class ISwitchPopUpControl : public ISwitchControl {
 public:
  ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};
