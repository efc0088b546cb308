#include "framework/window/x11/X11Input.h"

#include <cstdlib>

#include "framework/editor/IKeyCodes.h"

// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
// clang-format on

int X11KeyForKeysym(unsigned long keysym) {
  switch (keysym) {
    case XK_space:
    case XK_KP_Space:
      return kKeySpace;
    case XK_Up:
    case XK_KP_Up:
      return kKeyUp;
    case XK_Down:
    case XK_KP_Down:
      return kKeyDown;
    case XK_Left:
    case XK_KP_Left:
      return kKeyLeft;
    case XK_Right:
    case XK_KP_Right:
      return kKeyRight;
    default:
      break;
  }
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    return kKeyDigit0 + static_cast<int>(keysym - XK_KP_0);
  if (keysym >= XK_0 && keysym <= XK_9) return kKeyDigit0 + static_cast<int>(keysym - XK_0);
  if (keysym >= XK_A && keysym <= XK_Z) return kKeyLetterA + static_cast<int>(keysym - XK_A);
  if (keysym >= XK_a && keysym <= XK_z) return kKeyLetterA + static_cast<int>(keysym - XK_a);
  return -1;
}

IMouseMod X11MouseMod(unsigned int state, X11Button button) {
  const bool super = (state & Mod4Mask) != 0;
  return IMouseMod(button == X11Button::kLeft,
                   button == X11Button::kRight || (button == X11Button::kLeft && super),
                   (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

int X11ToEditor(int windowPixel, int scale) {
  if (scale <= 1) return windowPixel;
  return windowPixel >= 0 ? windowPixel / scale : -((-windowPixel + scale - 1) / scale);
}

int X11ClickCounter::Press(unsigned int button, unsigned long time, int x, int y) {
  // X server time is a 32-bit millisecond counter that wraps; unsigned
  // subtraction keeps the difference right across the wrap.
  const unsigned long elapsed = static_cast<unsigned long>(time - mTime) & 0xFFFFFFFFUL;
  const bool close = mCount > 0 && button == mButton && elapsed <= kDoubleClickTime &&
                     std::abs(x - mX) <= kDoubleClickDistance &&
                     std::abs(y - mY) <= kDoubleClickDistance;
  mCount = close ? mCount + 1 : 1;
  mButton = button;
  mTime = time;
  mX = x;
  mY = y;
  return mCount;
}
