#pragma once

// gtest before Xlib: Xlib defines None as a macro.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_pixel.h"
#include "raster/lice_png.h"
#include "tests/support/XvfbServer.h"

// Driving the X11 layer's windows as a user would: XTest input on a
// private server, and a plain event pump handing every event to the
// window under test.
namespace x11_ui_test {

using Handler = std::function<void(const XEvent&)>;

// An X error fails the test instead of ending the program (Xlib's default),
// which would leave the private server running.
inline int FailOnXError(Display* d, XErrorEvent* error) {
  char text[128];
  XGetErrorText(d, error->error_code, text, sizeof text);
  ADD_FAILURE() << "X error: " << text << " in request " << static_cast<int>(error->request_code);
  return 0;
}

// Hands every event to handle until done() holds; false when it did not
// within the time.
inline bool PumpUntil(Display* d, const Handler& handle, const std::function<bool()>& done,
                      int timeoutMs = 2000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    while (XPending(d)) {
      XEvent event;
      XNextEvent(d, &event);
      handle(event);
      if (done()) return true;
    }
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd connection = {ConnectionNumber(d), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(std::min<long long>(left, 20)));
  }
}

// Lets the server finish what was asked and hands over every event that
// followed, including those the handling itself caused.
inline void Settle(Display* d, const Handler& handle) {
  for (int round = 0; round < 5; ++round) {
    XSync(d, False);
    if (!XPending(d)) return;
    while (XPending(d)) {
      XEvent event;
      XNextEvent(d, &event);
      handle(event);
    }
  }
}

inline void MovePointer(Display* d, int x, int y) {
  XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
  XFlush(d);
}

inline void Button(Display* d, unsigned int button, bool down) {
  XTestFakeButtonEvent(d, button, down ? True : False, CurrentTime);
  XFlush(d);
}

inline void ClickAt(Display* d, const Handler& handle, int x, int y, unsigned int button = 1) {
  MovePointer(d, x, y);
  Settle(d, handle);
  Button(d, button, true);
  Settle(d, handle);
  Button(d, button, false);
  Settle(d, handle);
}

inline void PressKey(Display* d, const Handler& handle, KeySym sym) {
  const KeyCode code = XKeysymToKeycode(d, sym);
  ASSERT_NE(code, 0) << "no key for keysym " << sym;
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  Settle(d, handle);
}

// Types plain characters (no shift needed: digits, lower-case letters,
// '.', '-').
inline void TypeText(Display* d, const Handler& handle, const std::string& text) {
  for (const char c : text) {
    KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(c));
    if (c == '.') sym = XK_period;
    if (c == '-') sym = XK_minus;
    PressKey(d, handle, sym);
  }
}

// The root window's pixels as a raster bitmap, alpha 255.
inline void CaptureRoot(Display* d, LICE_MemBitmap* out) {
  const int screen = DefaultScreen(d);
  const int w = DisplayWidth(d, screen), h = DisplayHeight(d, screen);
  XImage* image = XGetImage(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  out->resize(w, h);
  auto channel = [](unsigned long v, unsigned long mask) {
    v &= mask;
    while (mask && !(mask & 1)) {
      mask >>= 1;
      v >>= 1;
    }
    return static_cast<int>(v);
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long v = XGetPixel(image, x, y);
      out->getBits()[y * out->getRowSpan() + x] =
          LICE_RGBA(channel(v, image->red_mask), channel(v, image->green_mask),
                    channel(v, image->blue_mask), 255);
    }
  }
  XDestroyImage(image);
}

inline LICE_pixel PixelAt(const LICE_MemBitmap& bm, int x, int y) {
  return bm.getBits()[y * bm.getRowSpan() + x];
}

inline int Darkest(LICE_pixel p) {
  return std::min({LICE_GETR(p), LICE_GETG(p), LICE_GETB(p)});
}

// The darkest channel found in [x0, x1) x [y0, y1): low values mean ink.
inline int DarkestIn(const LICE_MemBitmap& bm, int x0, int y0, int x1, int y1) {
  int darkest = 255;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x)
      darkest = std::min(darkest, Darkest(PixelAt(bm, x, y)));
  }
  return darkest;
}

// Saves what the screen shows when $MORVEX_X11_SCREENSHOTS names a folder,
// for a person to look at.
inline void SaveScreenshot(Display* d, const char* name) {
  const char* folder = std::getenv("MORVEX_X11_SCREENSHOTS");
  if (!folder || !*folder) return;
  LICE_MemBitmap shot;
  CaptureRoot(d, &shot);
  const std::string path = std::string(folder) + "/" + name;
  EXPECT_TRUE(LICE_WritePNG(path.c_str(), &shot, false)) << path;
}

// A private server and a connection to it, X errors failing the test.
class XDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(mServer.Display().empty()) << "Xvfb did not start";
    XSetErrorHandler(FailOnXError);
    mDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(mDisplay, nullptr);
  }
  // Fixtures free their windows first, then call this.
  void TearDown() override {
    if (mDisplay) XCloseDisplay(mDisplay);
  }

  test_support::XvfbServer mServer;
  Display* mDisplay = nullptr;
};

}  // namespace x11_ui_test
