#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "framework/editor/IText.h"

class IGraphics;
class X11RasterWindow;

// A control's tooltip: a small override-redirect window with the text,
// below and to the right of a point on the screen and kept on it. When to
// show and hide it is TooltipCountdown's business. [UI thread]
class X11Tooltip {
 public:
  X11Tooltip(Display* display, int screen, IGraphics* graphics, int scale);
  ~X11Tooltip();
  X11Tooltip(const X11Tooltip&) = delete;
  X11Tooltip& operator=(const X11Tooltip&) = delete;

  // Shows the text (UTF-8) near the root point, replacing what was shown;
  // an empty text hides the tooltip.
  void Show(const char* text, int rootX, int rootY);
  void Hide();
  bool IsShown() const { return mWindow != nullptr; }
  // 0 while hidden.
  Window GetWindow() const;

  // Redraws on Expose; whether the event was the tooltip's.
  bool HandleEvent(const XEvent& event);

 private:
  Display* mDisplay;
  int mScreen;
  IGraphics* mGraphics;
  int mScale;
  IText mText;
  std::unique_ptr<X11RasterWindow> mWindow;
};
