#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "framework/window/x11/X11ImageWriter.h"
#include "raster/LICE_MemBitmap.h"

// An X window whose contents are drawn with raster calls into a bitmap of
// its logical size and copied to the screen at 1x or 2x (each pixel a 2 x 2
// block on high-density screens). The menus, text field, message box and
// tooltip are all one of these: they draw, then Present, and present again
// on Expose. [UI thread]
class X11RasterWindow {
 public:
  // An unmapped window of w x h logical pixels at (x, y) in the parent's
  // physical pixels. overrideRedirect is for popups the window manager must
  // leave alone; eventMask is what the window listens to (Expose is always
  // added).
  X11RasterWindow(Display* display, Window parent, int x, int y, int w, int h, int scale,
                  bool overrideRedirect, long eventMask);
  ~X11RasterWindow();
  X11RasterWindow(const X11RasterWindow&) = delete;
  X11RasterWindow& operator=(const X11RasterWindow&) = delete;

  Display* GetDisplay() const { return mDisplay; }
  Window GetWindow() const { return mWindow; }
  int Scale() const { return mScale; }
  int Width() const { return mBitmap.getWidth(); }
  int Height() const { return mBitmap.getHeight(); }
  LICE_MemBitmap* Bitmap() { return &mBitmap; }

  // Copies the whole bitmap to the window.
  void Present();
  // Presents again when the event is the last Expose of a series for this
  // window; whether the event was one of this window's exposures.
  bool HandleExpose(const XEvent& event);
  // Whether the server has destroyed the window (with its parent, which
  // another client may destroy at any time), as far as the events already
  // received tell; its DestroyNotify is taken from the queue. A destroyed
  // window is neither drawn nor destroyed again, either being an X error.
  bool CheckDestroyed();

 private:
  Display* mDisplay;
  Window mWindow;
  int mScale;
  bool mDestroyed = false;
  GC mGC;
  std::unique_ptr<X11ImageWriter> mWriter;
  LICE_MemBitmap mBitmap;
};
