#pragma once

#include "framework/editor/IBitmapControl.h"

// A bitmap that steps to its next frame on every click and wraps from the
// last to the first: two frames toggle, three step 0, 0.5, 1. A one-frame
// switch toggles between 0 and 1. A double-click counts as a click.
// [UI thread]
class ISwitchControl : public IBitmapControl {
 public:
  ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // Steps like a click, in every switch derived from this one too.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};
