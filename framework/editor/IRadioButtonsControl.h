#pragma once

#include "framework/base/WDL_TypedBuf.h"
#include "framework/editor/IBitmap.h"
#include "framework/editor/IControl.h"

// A row or column of n buttons drawn from a two-frame bitmap (frame 1 off,
// frame 2 on), exactly one of them on: button i stands for the value
// i / (n - 1). The buttons are spread over the rectangle with equal gaps;
// reversed, the first button sits one gap in from the far edge.
// [UI thread]
class IRadioButtonsControl : public IControl {
 public:
  // Fewer than one button gives none; a single button stands for 0.
  IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                       const IBitmap* bitmap, EDirection direction = kVertical,
                       bool reverse = false);

  // A right click prompts; a left click on button i sets its value.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  int NButtons() const { return mRECTs.GetSize(); }
  // Null out of range.
  const IRECT* GetButtonRECT(int i) const;
  // The button the current value turns on, 0..n - 1.
  int ActiveButton() const;

 protected:
  WDL_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};
