#pragma once

// The buttons and modifier keys held during a mouse event: left button,
// right button, shift, control, alt/option. The window layer reports a
// Command-click as a right click. A plain value. [any thread]
struct IMouseMod {
  bool L, R, S, C, A;

  constexpr IMouseMod(bool left = false, bool right = false, bool shift = false,
                      bool control = false, bool alt = false)
      : L(left), R(right), S(shift), C(control), A(alt) {}
};
