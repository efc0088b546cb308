#pragma once

#include <X11/Xlib.h>

// A window that takes over input until the user is done with it: a popup
// menu, a message box. The editor's window runs a nested loop that keeps
// its redraw timer going and hands every X event to the modal window until
// it reports that it is finished. [UI thread]
class X11ModalWindow {
 public:
  virtual ~X11ModalWindow() = default;

  // Takes one event (its own windows' events, and pointer and key events
  // under its grab); events it does not want are ignored.
  virtual void HandleEvent(const XEvent& event) = 0;
  virtual bool Finished() const = 0;
};
