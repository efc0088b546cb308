#pragma once

#include "framework/editor/IBitmapControl.h"

// A grid of choices drawn from one bitmap strip: the stage selector. A
// click in the hit rectangle picks the cell under it, counted row by row
// (or column by column when vertical), and the cell's position becomes the
// value; each selection shows its own frame. [UI thread]
class IRadioBitmapControl2D : public IBitmapControl {
 public:
  // rect is relative to (x, y); perLine 0 puts every state on one line.
  IRadioBitmapControl2D(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                        IRECT rect, int perLine, EDirection direction, bool dragSelects,
                        IChannelBlend::EBlendMethod blend = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;

 private:
  IRECT mHitRect;
  int mNStates;
  int mPerLine;
  EDirection mDirection;
  bool mDragSelects;
};
