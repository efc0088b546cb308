#pragma once

#include "framework/base/WDL_TypedBuf.h"
#include "framework/editor/ISwitchControl.h"

// A switch showing all its states at once: its rectangle is cut into one
// click area per frame (side by side or stacked) and a click picks the
// state under the pointer. The only stock control that prompts on a right
// click. [UI thread]
class ISwitchFramesControl : public ISwitchControl {
 public:
  ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                       bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  // A right click prompts; a left click in area i of n sets i / (n - 1),
  // or 0 when there is only one area.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  int NClickAreas() const { return mClickRECTs.GetSize(); }
  // Null out of range.
  const IRECT* GetClickRECT(int i) const;

 protected:
  WDL_TypedBuf<IRECT> mClickRECTs;
};
