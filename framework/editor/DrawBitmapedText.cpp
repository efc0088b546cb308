#include "framework/editor/DrawBitmapedText.h"

#include <climits>
#include <cstring>

#include "framework/editor/IGraphics.h"

namespace {

// The number of the font's frame for a character byte; bytes of 128 and up
// count upward rather than wrapping to negative frames.
int FrameOf(char c) {
  return static_cast<int>(static_cast<unsigned char>(c)) - 31;
}

}  // namespace

bool DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight, int charOffset) {
  if (!graphics || !graphics->GetBits() || !font || !font->mData || !rect) return false;
  if (charWidth <= 0 || charHeight <= 0) return false;
  // In 64 bits throughout: no product of a length and a size, nor any sum
  // of coordinates, can overflow.
  const long long rw = static_cast<long long>(rect->R) - rect->L;
  const long long rh = static_cast<long long>(rect->B) - rect->T;
  if (rw <= 0 || rh <= 0) return false;
  if (!str || !*str) return true;

  const long long len = static_cast<long long>(strnlen(str, INT_MAX));
  const long long cw = charWidth, ch = charHeight;
  const long long textWidth = len * cw;
  const long long y0 = vCenter ? rect->T + (rh - ch) / 2 : rect->T;
  long long x0 = rect->L;
  const int align = text ? text->mAlign : IText::kAlignNear;
  if (align == IText::kAlignCenter) x0 = rect->L + (rw - textWidth) / 2;
  if (align == IText::kAlignFar) x0 = rect->R - textWidth;

  long long perLine = rw / cw, lines = 1;
  if (multiline) {
    if (textWidth > rw) {
      lines = textWidth / rw + 1;
    } else {
      perLine = len;
    }
  }
  if (perLine <= 0) return true;  // not one character fits across

  for (long long line = 0; line < lines; ++line) {
    for (long long pos = 0; pos < perLine; ++pos) {
      const long long idx = line * perLine + pos;
      if (idx >= len) return true;
      const long long x = x0 + pos * (cw + charOffset);
      const long long y = y0 + line * ch;
      // A character that would lie past the int range is nowhere near the
      // editor.
      if (x < INT_MIN || y < INT_MIN || x + cw > INT_MAX || y + ch > INT_MAX) continue;
      IRECT charRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + cw),
                     static_cast<int>(y + ch));
      graphics->DrawBitmap(font, &charRect, FrameOf(str[idx]), blend);
    }
  }
  return true;
}
