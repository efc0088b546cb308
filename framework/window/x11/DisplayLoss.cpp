#include "framework/window/x11/DisplayLoss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace {

std::function<void()>& Handler() {
  static std::function<void()> handler;
  return handler;
}

XIOErrorHandler gXlibDefault = nullptr;

int OnDisplayLost(Display*) {
  // Cleared first: should the handler touch a display after all, Xlib's
  // default ends the process instead of this handler running again.
  const std::function<void()> handler = std::move(Handler());
  XSetIOErrorHandler(gXlibDefault);
  if (handler) handler();
  std::fflush(nullptr);
  _exit(1);
}

}  // namespace

void SetDisplayLostHandler(std::function<void()> handler) {
  Handler() = std::move(handler);
  if (Handler()) {
    const XIOErrorHandler previous = XSetIOErrorHandler(OnDisplayLost);
    if (previous != OnDisplayLost) gXlibDefault = previous;
  } else {
    XSetIOErrorHandler(gXlibDefault);
  }
}
