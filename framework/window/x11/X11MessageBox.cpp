#include "framework/window/x11/X11MessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/window/gdi/TextDrawing.h"
#include "framework/window/x11/X11RasterWindow.h"
#include "framework/window/x11/detail/RasterText.h"
#include "raster/LICE_IFont.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"

namespace {

// Layout in logical pixels.
constexpr int kFontSize = 13;
constexpr int kMargin = 16;
constexpr int kMaxTextWidth = 360;
constexpr int kMinWidth = 260;
constexpr int kButtonH = 24;
constexpr int kMinButtonW = 72;
constexpr int kButtonPadX = 12;
constexpr int kButtonGap = 8;
constexpr int kBottomMargin = 12;

constexpr LICE_pixel kBack = LICE_RGBA(236, 236, 236, 255);
constexpr LICE_pixel kTextColor = LICE_RGBA(0, 0, 0, 255);
constexpr LICE_pixel kButtonFace = LICE_RGBA(252, 252, 252, 255);
constexpr LICE_pixel kButtonPressed = LICE_RGBA(200, 200, 200, 255);
constexpr LICE_pixel kButtonBorder = LICE_RGBA(150, 150, 150, 255);
constexpr LICE_pixel kDefaultBorder = LICE_RGBA(48, 112, 208, 255);

void SetUtf8Property(Display* display, Window window, const char* name, const char* value) {
  XChangeProperty(display, window, XInternAtom(display, name, False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(value), static_cast<int>(strlen(value)));
}

}  // namespace

X11MessageBox::X11MessageBox(Display* display, int screen, IGraphics* graphics, const char* text,
                             const char* caption, int type, int scale, Window transientFor)
    : mDisplay(display),
      mGraphics(graphics),
      mText(x11_detail::InterfaceText(kFontSize)),
      mDeleteWindow(XInternAtom(display, "WM_DELETE_WINDOW", False)) {
  switch (type) {
    case 4:
      mButtons = {{"Yes", kDefault, 0, 0, 0, 0}, {"No", kAlternate, 0, 0, 0, 0}};
      break;
    case 3:
      mButtons = {{"Yes", kDefault, 0, 0, 0, 0},
                  {"No", kAlternate, 0, 0, 0, 0},
                  {"Cancel", kCancel, 0, 0, 0, 0}};
      break;
    case 1:
      mButtons = {{"OK", kDefault, 0, 0, 0, 0}, {"Cancel", kCancel, 0, 0, 0, 0}};
      break;
    default:
      mButtons = {{"OK", kDefault, 0, 0, 0, 0}};
      break;
  }
  Layout(text ? text : "");

  const int s = std::clamp(scale, 1, 2);
  const int x = std::max(0, (DisplayWidth(display, screen) - mWidth * s) / 2);
  const int y = std::max(0, (DisplayHeight(display, screen) - mHeight * s) / 2);
  mWindow = std::make_unique<X11RasterWindow>(
      display, RootWindow(display, screen), x, y, mWidth, mHeight, s, false,
      KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  const Window window = mWindow->GetWindow();

  const char* title = caption ? caption : "";
  XStoreName(display, window, title);
  SetUtf8Property(display, window, "_NET_WM_NAME", title);
  XSetWMProtocols(display, window, &mDeleteWindow, 1);
  if (transientFor) XSetTransientForHint(display, window, transientFor);
  Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
  // A fixed size, and the place we chose rather than the manager's.
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = mWidth * s;
    hints->min_height = hints->max_height = mHeight * s;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  Draw();
  XMapRaised(display, window);
  XFlush(display);
}

X11MessageBox::~X11MessageBox() = default;

Window X11MessageBox::GetWindow() const {
  return mWindow ? mWindow->GetWindow() : 0;
}

std::vector<X11MessageBox::ShownButton> X11MessageBox::Buttons() const {
  std::vector<ShownButton> shown;
  if (!mWindow) return shown;
  const int s = mWindow->Scale();
  for (const Button& b : mButtons)
    shown.push_back({b.label, b.result, b.x * s, b.y * s, b.w * s, b.h * s});
  return shown;
}

void X11MessageBox::Layout(const std::string& text) {
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  mWrapped = x11_detail::WrappedToWidth(font, text, kMaxTextWidth);
  int textW = 0, lines = 0;
  size_t start = 0;
  while (start <= mWrapped.size()) {
    size_t end = mWrapped.find('\n', start);
    if (end == std::string::npos) end = mWrapped.size();
    textW = std::max(textW, x11_detail::TextWidth(font, mWrapped.c_str() + start,
                                                  static_cast<int>(end - start)));
    ++lines;
    start = end + 1;
  }
  const int lineH = font ? font->GetLineHeight() : kFontSize;
  int buttonsW = 0;
  for (Button& b : mButtons) {
    b.w = std::max(kMinButtonW, x11_detail::TextWidth(font, b.label.c_str()) + 2 * kButtonPadX);
    buttonsW += b.w + kButtonGap;
  }
  mWidth = std::max({kMinWidth, textW + 2 * kMargin, buttonsW - kButtonGap + 2 * kMargin});
  mHeight = kMargin + lines * lineH + kMargin + kButtonH + kBottomMargin;
  // From the right: the default button is the rightmost, as on the Mac.
  int right = mWidth - kMargin;
  for (Button& b : mButtons) {
    b.x = right - b.w;
    b.y = mHeight - kBottomMargin - kButtonH;
    b.h = kButtonH;
    right = b.x - kButtonGap;
  }
}

void X11MessageBox::Draw() {
  LICE_MemBitmap* bm = mWindow ? mWindow->Bitmap() : nullptr;
  if (!bm) return;
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  LICE_Clear(bm, kBack);
  if (font) {
    font->SetTextColor(kTextColor);
    font->SetBkMode(LICE_BKMODE_TRANSPARENT);
    RECT box = {kMargin, kMargin, mWidth - kMargin, mHeight - kButtonH - kBottomMargin};
    font->DrawText(bm, mWrapped.c_str(), -1, &box, DT_NOPREFIX);
  }
  for (size_t i = 0; i < mButtons.size(); ++i) {
    const Button& b = mButtons[i];
    const bool pressed = mPressed == static_cast<int>(i);
    LICE_FillRect(bm, b.x, b.y, b.w, b.h, pressed ? kButtonPressed : kButtonFace, 1.0f,
                  LICE_BLIT_MODE_COPY);
    const bool isDefault = b.result == kDefault;
    const LICE_pixel border = isDefault ? kDefaultBorder : kButtonBorder;
    for (int t = 0; t < (isDefault ? 2 : 1); ++t) {
      LICE_DrawRect(bm, b.x + t, b.y + t, b.w - 1 - 2 * t, b.h - 1 - 2 * t, border, 1.0f,
                    LICE_BLIT_MODE_COPY);
    }
    const int labelX = b.x + (b.w - x11_detail::TextWidth(font, b.label.c_str())) / 2;
    x11_detail::DrawTextLine(bm, font, b.label, labelX, b.y, b.x + b.w, b.y + b.h, kTextColor);
  }
}

int X11MessageBox::ButtonAt(int x, int y) const {
  const int s = mWindow->Scale();
  x /= s;
  y /= s;
  for (size_t i = 0; i < mButtons.size(); ++i) {
    const Button& b = mButtons[i];
    if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return static_cast<int>(i);
  }
  return -1;
}

int X11MessageBox::CancelResult() const {
  for (const Button& b : mButtons) {
    if (b.result == kCancel) return kCancel;
  }
  return kOpen;
}

void X11MessageBox::HandleEvent(const XEvent& event) {
  if (!mWindow || event.xany.window != mWindow->GetWindow()) return;
  switch (event.type) {
    case Expose:
      mWindow->HandleExpose(event);
      return;
    case MapNotify:
      // The box is modal: the keys are its own as soon as it shows.
      XSetInputFocus(mDisplay, mWindow->GetWindow(), RevertToParent, CurrentTime);
      XFlush(mDisplay);
      return;
    case KeyPress: {
      XKeyEvent key = event.xkey;
      const KeySym sym = XLookupKeysym(&key, 0);
      if (sym == XK_Return || sym == XK_KP_Enter) Finish(kDefault);
      if (sym == XK_Escape && CancelResult() != kOpen) Finish(CancelResult());
      return;
    }
    case ButtonPress:
      if (event.xbutton.button != Button1) return;
      mPressed = ButtonAt(event.xbutton.x, event.xbutton.y);
      Draw();
      mWindow->Present();
      return;
    case ButtonRelease: {
      if (event.xbutton.button != Button1) return;
      // A press dragged off its button and released elsewhere picks nothing.
      const int released = ButtonAt(event.xbutton.x, event.xbutton.y);
      const int pressed = std::exchange(mPressed, -1);
      if (pressed >= 0 && pressed == released) {
        Finish(mButtons[static_cast<size_t>(pressed)].result);
      } else {
        Draw();
        mWindow->Present();
      }
      return;
    }
    case ClientMessage:
      if (event.xclient.format == 32 &&
          static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow) {
        const int cancel = CancelResult();
        Finish(cancel != kOpen ? cancel : mButtons.back().result);
      }
      return;
    default:
      return;
  }
}

void X11MessageBox::Finish(int result) {
  mResult = result;
  mWindow.reset();
}
