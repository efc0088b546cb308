// gtest before Xlib: Xlib defines None as a macro.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include "framework/window/x11/X11ImageWriter.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_pixel.h"
#include "tests/framework/window/x11/x11_pixels.h"
#include "tests/support/XvfbServer.h"

namespace {

// Red, green and blue pixels (with arbitrary alpha) come back exact, only
// the asked-for part is copied, and at scale 2 each pixel is a 2 x 2 block.
TEST(X11ImageWriterTest, PixelsArriveExactWithoutAlphaAndDoubledAtScaleTwo) {
  test_support::XvfbServer server;
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const int screen = DefaultScreen(display);
  Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  Pixmap pixmap =
      XCreatePixmap(display, RootWindow(display, screen), 20, 20, static_cast<unsigned>(depth));
  GC gc = XCreateGC(display, pixmap, 0, nullptr);
  XSetForeground(display, gc, 0);
  XFillRectangle(display, pixmap, gc, 0, 0, 20, 20);

  LICE_MemBitmap bitmap(4, 2);
  const LICE_pixel row0[] = {LICE_RGBA(255, 0, 0, 255), LICE_RGBA(0, 255, 0, 7),
                             LICE_RGBA(0, 0, 255, 0), LICE_RGBA(1, 2, 3, 128)};
  for (int x = 0; x < 4; ++x) {
    bitmap.getBits()[x] = row0[x];
    bitmap.getBits()[bitmap.getRowSpan() + x] = LICE_RGBA(9, 9, 9, 255);
  }
  X11ImageWriter writer(display, visual, depth);
  ASSERT_TRUE(writer.Put(pixmap, gc, bitmap, 0, 0, 4, 1, 1));  // row 0 only
  XImage* image = XGetImage(display, pixmap, 0, 0, 20, 20, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  const Rgb expected[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {1, 2, 3}};
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(ReadBack(image, x, 0, visual), expected[x]) << x;
  EXPECT_EQ(ReadBack(image, 0, 1, visual), (Rgb{0, 0, 0}));  // row 1 was not asked for
  XDestroyImage(image);

  ASSERT_TRUE(writer.Put(pixmap, gc, bitmap, 1, 0, 2, 2, 2));     // at 2x
  EXPECT_FALSE(writer.Put(pixmap, gc, bitmap, 10, 10, 4, 4, 1));  // outside
  image = XGetImage(display, pixmap, 0, 0, 20, 20, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  // Pixel (1, 0) at 2x covers (2..3, 0..1); pixel (2, 1) covers (4..5, 2..3).
  for (int y = 0; y < 2; ++y) {
    for (int x = 2; x < 4; ++x)
      EXPECT_EQ(ReadBack(image, x, y, visual), (Rgb{0, 255, 0})) << x << "," << y;
  }
  EXPECT_EQ(ReadBack(image, 4, 0, visual), (Rgb{0, 0, 255}));
  EXPECT_EQ(ReadBack(image, 5, 3, visual), (Rgb{9, 9, 9}));
  EXPECT_EQ(ReadBack(image, 6, 0, visual), (Rgb{0, 0, 0}));
  XDestroyImage(image);
  XFreeGC(display, gc);
  XFreePixmap(display, pixmap);
  XCloseDisplay(display);
}

}  // namespace
