#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <memory>

#include "framework/plugin/IEventLoop.h"

// One open editor window's connection to the X server, and its place in
// the editor's loop: a watch on the connection's socket calls `input`
// whenever events may be waiting (Xlib reads ahead, so a queued event does
// not always leave the socket readable: the watch asks Xlib too). Protocol errors on the
// connection go to `error` instead of ending the process, as Xlib's
// default handler would. [UI thread]
class X11Connection {
 public:
  using InputHandler = std::function<void()>;
  using ErrorHandler = std::function<void(const XErrorEvent&)>;

  // Whether $DISPLAY names a display at all; it may still fail to open.
  static bool DisplayNamed();
  // Null when $DISPLAY is unset or the display cannot be opened; nothing
  // else is touched then.
  static std::unique_ptr<X11Connection> Open(IEventLoop& loop, InputHandler input,
                                             ErrorHandler error);
  // Leaves the loop and closes the display.
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* GetDisplay() const { return mDisplay; }
  int Screen() const { return DefaultScreen(mDisplay); }
  // 2 when MORVEX_UI_SCALE is 2, or, unless it is 1, when the X resource
  // Xft.dpi is 192 or more; 1 otherwise.
  int Scale() const { return mScale; }

 private:
  X11Connection(Display* display, IEventLoop& loop, InputHandler input, ErrorHandler error);
  static int OnError(Display* display, XErrorEvent* event);

  Display* mDisplay;
  InputHandler mInput;
  ErrorHandler mError;
  int mScale = 1;
  IEventLoop& mLoop;
  int mWatch = 0;
};
