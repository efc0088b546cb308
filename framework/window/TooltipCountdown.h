#pragma once

// When a control's tooltip shows and hides, counted in editor timer ticks:
// once the pointer rests on a control with a tooltip, it shows after one
// and a half seconds (FPS x 3 / 2 ticks) and hides ten seconds later
// (FPS x 10 ticks). Moving onto another control hides it and starts over;
// a control without a tooltip stops the count. The window layer does the
// showing. [UI thread]
class TooltipCountdown {
 public:
  enum Action { kNone, kShow, kHide };

  // An fps below 1 counts as 1.
  explicit TooltipCountdown(int fps);

  // The control under the pointer is now controlIdx (-1 for none). When it
  // differs from the last one, any tooltip showing must be hidden (kHide);
  // the count restarts when the new control has a tooltip.
  Action MouseOver(int controlIdx, bool hasTooltip);
  // One timer tick: kShow or kHide when the count runs out.
  Action Tick();
  // A click: the tooltip goes and the count stops until the pointer moves
  // onto another control. kHide when one was showing.
  Action Cancel();

  int ControlIdx() const { return mControlIdx; }
  bool Showing() const { return mShowing; }
  int TicksLeft() const { return mTicks; }

 private:
  int mFPS;
  int mControlIdx = -1;
  int mTicks = 0;
  bool mShowing = false;
};
