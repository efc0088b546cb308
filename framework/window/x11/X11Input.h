#pragma once

#include "framework/editor/IMouseMod.h"

// How X input becomes editor input. Pure functions and a small click
// counter, so that the rules read in one place. [UI thread]

// The editor's key number (IKeyCodes.h) for a keysym as XLookupString
// gives it (so NumLock decides whether a keypad key is a digit): space,
// the four arrows (keypad arrows too), digits (keypad digits too) and
// letters in either case; -1 for anything else.
int X11KeyForKeysym(unsigned long keysym);

// The modifiers of a pointer event. A right-button event has L false and R
// true; a left-button event has L true and R set when Super is held (the
// key where Command sits on a Mac keyboard, so a Super-click acts as a
// right click). Shift, Control and Alt (Mod1) are S, C and A. Events
// without a button (motion, wheel) have L and R false.
enum class X11Button { kNone, kLeft, kRight };
IMouseMod X11MouseMod(unsigned int state, X11Button button);

// Window pixels to editor pixels at the given scale, rounding toward
// negative infinity so that a drag left of the window stays negative.
int X11ToEditor(int windowPixel, int scale);

// Counts presses (X server times in milliseconds) of one button that follow each other closely
// enough to be a double-click: within 400 ms and 4 pixels of the previous press.
class X11ClickCounter {
 public:
  static constexpr unsigned long kDoubleClickTime = 400;  // ms
  static constexpr int kDoubleClickDistance = 4;

  // The click count of this press: 1 for a single click, 2 or more for a
  // double-click.
  int Press(unsigned int button, unsigned long time, int x, int y);
  void Reset() { mCount = 0; }

 private:
  unsigned int mButton = 0;
  unsigned long mTime = 0;
  int mX = 0, mY = 0;
  int mCount = 0;
};
