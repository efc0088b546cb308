#include "framework/window/x11/X11HostWindow.h"

// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include <cstdint>

X11HostWindow::X11HostWindow() : mDisplay(XOpenDisplay(nullptr)) {}

X11HostWindow::~X11HostWindow() {
  Close();
  if (mDisplay) XCloseDisplay(mDisplay);
}

bool X11HostWindow::Show(void* view, const char* title) {
  const auto viewWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(view));
  Window root;
  int x, y;
  unsigned width, height, border, depth;
  if (!mDisplay ||
      !XGetGeometry(mDisplay, viewWindow, &root, &x, &y, &width, &height, &border, &depth))
    return false;
  Close();
  mWindow = XCreateSimpleWindow(mDisplay, root, 0, 0, width, height, 0, 0, 0);
  XStoreName(mDisplay, mWindow, title);
  XSizeHints hints = {};
  hints.flags = PMinSize | PMaxSize;
  hints.min_width = hints.max_width = static_cast<int>(width);
  hints.min_height = hints.max_height = static_cast<int>(height);
  XSetWMNormalHints(mDisplay, mWindow, &hints);
  Atom deleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  mDeleteWindow = deleteWindow;
  XSetWMProtocols(mDisplay, mWindow, &deleteWindow, 1);
  XSelectInput(mDisplay, mWindow, StructureNotifyMask);
  XReparentWindow(mDisplay, viewWindow, mWindow, 0, 0);
  XMapWindow(mDisplay, viewWindow);
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

void X11HostWindow::HandlePendingEvents() {
  while (mWindow && XPending(mDisplay)) {
    XEvent event;
    XNextEvent(mDisplay, &event);
    const bool deleted =
        event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow;
    if (deleted) Close();
    if (event.type == DestroyNotify && event.xdestroywindow.window == mWindow) mWindow = 0;
  }
}

void X11HostWindow::Close() {
  if (!mWindow) return;
  XDestroyWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  mWindow = 0;
}
