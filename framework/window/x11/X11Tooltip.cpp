#include "framework/window/x11/X11Tooltip.h"

#include <algorithm>

#include "framework/window/x11/X11RasterWindow.h"
#include "framework/window/x11/detail/RasterText.h"
#include "raster/LICE_IFont.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"

namespace {

// Logical pixels.
constexpr int kFontSize = 12;
constexpr int kPadX = 5;
constexpr int kPadY = 3;
// Below and right of the point, clear of a pointer drawn there.
constexpr int kOffsetX = 8;
constexpr int kOffsetY = 18;

constexpr LICE_pixel kBack = LICE_RGBA(255, 255, 225, 255);
constexpr LICE_pixel kBorder = LICE_RGBA(118, 118, 118, 255);
constexpr LICE_pixel kTextColor = LICE_RGBA(0, 0, 0, 255);

}  // namespace

X11Tooltip::X11Tooltip(Display* display, int screen, IGraphics* graphics, int scale)
    : mDisplay(display),
      mScreen(screen),
      mGraphics(graphics),
      mScale(std::clamp(scale, 1, 2)),
      mText(x11_detail::InterfaceText(kFontSize)) {}

X11Tooltip::~X11Tooltip() = default;

Window X11Tooltip::GetWindow() const {
  return mWindow ? mWindow->GetWindow() : 0;
}

void X11Tooltip::Show(const char* text, int rootX, int rootY) {
  Hide();
  if (!text || !*text) return;
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  const std::string shown = text;
  const int w = x11_detail::TextWidth(font, text) + 2 * kPadX;
  const int h = (font ? font->GetLineHeight() : kFontSize) + 2 * kPadY;

  const int screenW = DisplayWidth(mDisplay, mScreen), screenH = DisplayHeight(mDisplay, mScreen);
  int x = rootX + kOffsetX * mScale, y = rootY + kOffsetY * mScale;
  // Off the bottom it goes above the point instead, so it never covers it.
  if (y + h * mScale > screenH) y = rootY - (kOffsetY / 2 + h) * mScale;
  x = std::clamp(x, 0, std::max(0, screenW - w * mScale));
  y = std::clamp(y, 0, std::max(0, screenH - h * mScale));

  mWindow = std::make_unique<X11RasterWindow>(mDisplay, RootWindow(mDisplay, mScreen), x, y, w, h,
                                              mScale, true, 0);
  LICE_MemBitmap* bm = mWindow->Bitmap();
  LICE_Clear(bm, kBack);
  LICE_DrawRect(bm, 0, 0, w - 1, h - 1, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  x11_detail::DrawTextLine(bm, font, shown, kPadX, 0, w - 1, h, kTextColor);
  XMapRaised(mDisplay, mWindow->GetWindow());
  mWindow->Present();
}

void X11Tooltip::Hide() {
  mWindow.reset();
}

bool X11Tooltip::HandleEvent(const XEvent& event) {
  return mWindow && mWindow->HandleExpose(event);
}
