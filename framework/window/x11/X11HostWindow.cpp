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
  Create(root, width, height, title);
  XReparentWindow(mDisplay, viewWindow, mWindow, 0, 0);
  XMapWindow(mDisplay, viewWindow);
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

bool X11HostWindow::ShowEmpty(int width, int height, const char* title) {
  if (!mDisplay || width <= 0 || height <= 0) return false;
  Create(DefaultRootWindow(mDisplay), static_cast<unsigned>(width), static_cast<unsigned>(height),
         title);
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

void X11HostWindow::Create(unsigned long root, unsigned width, unsigned height, const char* title) {
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
}

void* X11HostWindow::Handle() const {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow));
}

void X11HostWindow::Sync() {
  if (mDisplay) XSync(mDisplay, False);
}

long X11HostWindow::LitPixels() const {
  XWindowAttributes attributes;
  if (!mWindow || !XGetWindowAttributes(mDisplay, mWindow, &attributes)) return 0;
  XImage* image = XGetImage(mDisplay, mWindow, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return 0;
  long lit = 0;
  for (int y = 0; y < attributes.height; ++y)
    for (int x = 0; x < attributes.width; ++x)
      lit += XGetPixel(image, x, y) != 0;
  XDestroyImage(image);
  return lit;
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
