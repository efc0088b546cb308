#pragma once

#include "framework/editor/IBitmap.h"
#include "framework/editor/IControl.h"

// A handle that slides along a track of the given length: the value is
// where the handle's centre sits, 0 at the left or bottom end, 1 at the
// right or top. A click or drag puts the handle's centre under the pointer;
// the wheel nudges it like a knob. With only-handle set, only the handle
// itself takes clicks. [UI thread]
class IFaderControl : public IControl {
 public:
  IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, const IBitmap* handle,
                EDirection direction = kVertical, bool onlyHandle = false);

  // A right click prompts; any other click snaps the handle to the pointer.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // Steps of 0.01, or 0.001 with control or shift held.
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool Draw(IGraphics* graphics) override;
  bool IsHit(int x, int y) override;

  // Sets the value that centres the handle on the point. A track no longer
  // than the handle has nowhere to slide, so the gesture is ignored there.
  virtual void SnapToMouse(int x, int y);
  // Where the handle is drawn for the value (negative: the current one),
  // taken as 0..1 so the handle never leaves its track.
  virtual IRECT GetHandleRECT(double value = -1.0) const;

  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }

 protected:
  int mLen;
  int mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
