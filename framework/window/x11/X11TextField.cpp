#include "framework/window/x11/X11TextField.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

#include "framework/window/x11/X11RasterWindow.h"
#include "framework/window/x11/detail/RasterText.h"
#include "raster/LICE_IFont.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"

namespace {

constexpr int kInset = 2;  // between the field's edges and its text

LICE_pixel Opaque(const IColor& c) {
  return LICE_RGBA(c.R, c.G, c.B, 255);
}

IText FieldText(const IText& text) {
  IText face = text;
  face.mSize = std::max(1, static_cast<int>(0.9 * text.mSize));
  face.mColor = text.mTextEntryFGColor;
  face.mCached = nullptr;  // a different size is a different font
  return face;
}

void AppendUtf8(std::string* out, unsigned long code) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character a key types, as UTF-8; empty for keys that type none.
// XLookupString gives Latin-1; characters beyond it arrive as Unicode
// keysyms (0x01000000 + code point), which every current keymap uses.
std::string TypedCharacter(KeySym sym, const char* latin1, int length) {
  unsigned long code;
  if ((sym & 0xFF000000UL) == 0x01000000UL) {
    code = sym & 0x00FFFFFFUL;
  } else if (length == 1) {
    code = static_cast<unsigned char>(latin1[0]);
  } else {
    return "";
  }
  const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
  const bool surrogate = code >= 0xD800 && code < 0xE000;
  if (control || surrogate || code > 0x10FFFF) return "";
  std::string typed;
  AppendUtf8(&typed, code);
  return typed;
}

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

X11TextField::X11TextField(Display* display, Window parent, const IRECT& area, int scale,
                           IGraphics* graphics, const IText& text, const char* initialText,
                           const IParam* param, int maxLength)
    : mDisplay(display),
      mGraphics(graphics),
      mText(FieldText(text)),
      mField(initialText, param, maxLength) {
  const int s = std::clamp(scale, 1, 2);
  mWindow = std::make_unique<X11RasterWindow>(
      display, parent, area.L * s, area.T * s, area.W(), area.H(), s, false,
      KeyPressMask | FocusChangeMask | StructureNotifyMask | ButtonPressMask);
  Draw();
  XMapRaised(display, mWindow->GetWindow());
  mWindow->Present();
}

X11TextField::~X11TextField() = default;

Window X11TextField::GetWindow() const {
  return mWindow->GetWindow();
}

bool X11TextField::HandleEvent(const XEvent& event) {
  if (event.xany.window != mWindow->GetWindow()) return false;
  // The editor's window went, and the field with it: the focus it lost on
  // the way is no commit.
  if (mWindow->CheckDestroyed()) {
    if (mOutcome == kEditing) mOutcome = kDiscard;
    return true;
  }
  switch (event.type) {
    case Expose:
      mWindow->HandleExpose(event);
      break;
    case MapNotify:
      // Focus can only go to a viewable window, so it is asked for here
      // rather than right after the map request. When the field goes,
      // focus reverts to the editor's window.
      XSetInputFocus(mDisplay, mWindow->GetWindow(), RevertToParent, CurrentTime);
      XFlush(mDisplay);
      break;
    case FocusIn:
      if (event.xfocus.detail != NotifyPointer) mHasFocus = true;
      break;
    case FocusOut:
      // Grabs (a menu, a window manager's key binding) borrow the keyboard
      // for a moment; only a real move of the focus ends the edit.
      if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab ||
          event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior)
        break;
      if (mHasFocus && mOutcome == kEditing) {
        mOutcome = kCommit;
        Draw();
        mWindow->Present();
      }
      mHasFocus = false;
      break;
    case KeyPress: {
      XKeyEvent key = event.xkey;
      HandleKey(&key);
      break;
    }
    case ButtonPress:
      if (mOutcome != kEditing) break;
      if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
        mOutcome = kDiscard;
      } else if (event.xbutton.button == Button1) {
        PlaceCaret(event.xbutton.x / mWindow->Scale());
      }
      Draw();
      mWindow->Present();
      break;
    default:
      break;
  }
  return true;
}

void X11TextField::HandleKey(XKeyEvent* key) {
  if (mOutcome != kEditing) return;
  char typed[32];
  KeySym sym = NoSymbol;
  const int length = XLookupString(key, typed, sizeof typed, &sym, nullptr);
  switch (sym) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_Tab:
    case XK_ISO_Left_Tab:
      mOutcome = kCommit;
      break;
    case XK_Escape:
      mOutcome = kDiscard;
      break;
    case XK_BackSpace:
      mField.Backspace();
      break;
    case XK_Delete:
    case XK_KP_Delete:
      mField.Delete();
      break;
    case XK_Left:
    case XK_KP_Left:
      mField.MoveCaret(-1);
      break;
    case XK_Right:
    case XK_KP_Right:
      mField.MoveCaret(1);
      break;
    case XK_Home:
    case XK_KP_Home:
      mField.MoveCaretHome();
      break;
    case XK_End:
    case XK_KP_End:
      mField.MoveCaretEnd();
      break;
    default: {
      const std::string character = TypedCharacter(sym, typed, length);
      // A refused character is simply not taken, without a message.
      if (!character.empty()) mField.Insert(character);
      break;
    }
  }
  Draw();
  mWindow->Present();
}

int X11TextField::TextStart(const std::string& shown) const {
  LICE_IFont* font = mText.mCached;
  const int width = x11_detail::TextWidth(font, shown.c_str());
  const int room = mWindow->Width();
  switch (mText.mAlign) {
    case IText::kAlignCenter:
      return (room - width) / 2;
    case IText::kAlignFar:
      return room - kInset - 1 - width;  // one pixel left for the caret
    case IText::kAlignNear:
    default:
      return kInset;
  }
}

void X11TextField::Draw() {
  LICE_MemBitmap* bm = mWindow->Bitmap();
  const int w = bm->getWidth(), h = bm->getHeight();
  LICE_Clear(bm, Opaque(mText.mTextEntryBGColor));
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  size_t visible = 0;
  const std::string shown =
      x11_detail::TruncatedToWidth(font, mField.Text(), w - 2 * kInset - 1, &visible);
  const int x = TextStart(shown);
  const LICE_pixel ink = Opaque(mText.mTextEntryFGColor);
  x11_detail::DrawTextLine(bm, font, shown, x, 0, w, h, ink);
  if (mOutcome != kEditing) return;
  // Past a cut tail the caret rests at the end of what is shown.
  const size_t caret = std::min(mField.Caret(), visible);
  const int caretX =
      x + x11_detail::TextWidth(font, mField.Text().c_str(), static_cast<int>(caret));
  const int lineH = font ? std::min(font->GetLineHeight(), h) : h;
  const int top = (h - lineH) / 2;
  LICE_Line(bm, caretX, top, caretX, top + lineH - 1, ink, 1.0f, LICE_BLIT_MODE_COPY);
}

void X11TextField::PlaceCaret(int x) {
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  const std::string& text = mField.Text();
  size_t visible = 0;
  const std::string shown =
      x11_detail::TruncatedToWidth(font, text, mWindow->Width() - 2 * kInset - 1, &visible);
  const int start = TextStart(shown);
  int best = 0, bestDistance = std::abs(x - start), characters = 0;
  for (size_t end = 1; end <= visible; ++end) {
    if (end < text.size() && IsContinuation(text[end])) continue;
    ++characters;
    const int edge = start + x11_detail::TextWidth(font, text.c_str(), static_cast<int>(end));
    if (std::abs(x - edge) < bestDistance) {
      bestDistance = std::abs(x - edge);
      best = characters;
    }
  }
  mField.MoveCaretHome();
  mField.MoveCaret(best);
}
