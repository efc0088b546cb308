#include "framework/window/x11/X11RasterWindow.h"

#include <algorithm>

X11RasterWindow::X11RasterWindow(Display* display, Window parent, int x, int y, int w, int h,
                                 int scale, bool overrideRedirect, long eventMask)
    : mDisplay(display), mScale(std::clamp(scale, 1, 2)), mBitmap(std::max(w, 1), std::max(h, 1)) {
  XSetWindowAttributes attributes = {};
  // No background: the server would clear to it before every Expose and
  // the window would flicker between the clear and our copy.
  attributes.background_pixmap = None;
  attributes.override_redirect = overrideRedirect ? True : False;
  attributes.save_under = overrideRedirect ? True : False;
  attributes.event_mask = eventMask | ExposureMask;
  mWindow = XCreateWindow(
      display, parent, x, y, static_cast<unsigned>(Width() * mScale),
      static_cast<unsigned>(Height() * mScale), 0, CopyFromParent, InputOutput, CopyFromParent,
      CWBackPixmap | CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  XWindowAttributes created;
  XGetWindowAttributes(display, mWindow, &created);
  mWriter = std::make_unique<X11ImageWriter>(display, created.visual, created.depth);
}

X11RasterWindow::~X11RasterWindow() {
  XFreeGC(mDisplay, mGC);
  if (!mDestroyed) XDestroyWindow(mDisplay, mWindow);
  XFlush(mDisplay);
}

void X11RasterWindow::Present() {
  if (CheckDestroyed()) return;
  mWriter->Put(mWindow, mGC, mBitmap, 0, 0, Width(), Height(), mScale);
  XFlush(mDisplay);
}

bool X11RasterWindow::CheckDestroyed() {
  if (mDestroyed) return true;
  auto isOurDestroy = [](Display*, XEvent* event, XPointer window) -> Bool {
    return event->type == DestroyNotify &&
           event->xdestroywindow.window == *reinterpret_cast<Window*>(window);
  };
  XEvent event;
  mDestroyed = XCheckIfEvent(mDisplay, &event, isOurDestroy, reinterpret_cast<XPointer>(&mWindow));
  return mDestroyed;
}

bool X11RasterWindow::HandleExpose(const XEvent& event) {
  if (event.type != Expose || event.xexpose.window != mWindow) return false;
  if (event.xexpose.count == 0) Present();
  return true;
}
