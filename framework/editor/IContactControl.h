#pragma once

#include "framework/editor/ISwitchControl.h"

// A momentary button: it steps like a switch while the button is held and
// returns to 0 when it is released, wherever that happens. [UI thread]
class IContactControl : public ISwitchControl {
 public:
  IContactControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                  IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};
