#pragma once

#include "framework/window/gdi/GdiTypes.h"
#include "raster/LICE_IBitmap.h"

// Font flags, given with the handle to SetFromHFont.
constexpr int LICE_FONT_FLAG_VERTICAL = 1;           // glyphs turned a quarter, text runs down
constexpr int LICE_FONT_FLAG_VERTICAL_BOTTOMUP = 2;  // with VERTICAL: turned the other way, runs up
constexpr int LICE_FONT_FLAG_PRECALCALL = 4;         // render 0-127 at once, never anything else
constexpr int LICE_FONT_FLAG_FX_BLUR = 16;
constexpr int LICE_FONT_FLAG_FX_INVERT = 32;
constexpr int LICE_FONT_FLAG_FX_MONO = 64;      // coverage is all or nothing
constexpr int LICE_FONT_FLAG_FX_SHADOW = 128;   // effect colour to the right of and below glyphs
constexpr int LICE_FONT_FLAG_FX_OUTLINE = 256;  // effect colour around glyphs
constexpr int LICE_FONT_FLAG_OWNS_HFONT = 0x200;
constexpr int LICE_FONT_FLAG_FORCE_NATIVE = 0x400;  // let the drawing-context layer draw the text
// Any of these needs the glyph cache, so the text is never drawn natively.
constexpr int LICE_FONT_FLAGS_GLYPHS_ONLY = 0x1F3;

// Format flags of DrawText beyond the drawing-context layer's DT_ flags
// (which it takes with the same values): draw from the glyph cache.
constexpr unsigned int LICE_DT_USEGLYPHS = 1u << 30;

// Background modes of SetBkMode.
constexpr int LICE_BKMODE_TRANSPARENT = 0;
constexpr int LICE_BKMODE_OPAQUE = 1;

// Text drawn into raster bitmaps from a system font handle. The slot order of
// the virtual operations is fixed. A font is used by one thread at a time.
class LICE_IFont {
 public:
  virtual ~LICE_IFont() {}

  // Takes the font handle and the LICE_FONT_FLAG_* flags; discards every
  // cached glyph.
  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  // Colours in the pixel layout; each setter returns the previous value.
  virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
  virtual LICE_pixel SetBkColor(LICE_pixel color) = 0;
  virtual LICE_pixel SetEffectColor(LICE_pixel color) = 0;
  virtual int SetBkMode(int mode) = 0;
  // The blend mode (operations 0-5) and weight text is drawn with.
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // Draws `length` bytes of UTF-8 (negative: to the NUL) into the rectangle
  // with DT_ format flags (framework/window/gdi/TextDrawing.h) and returns
  // the text's height. With DT_CALCRECT the rectangle's right and bottom
  // receive the extent and the bitmap may be null.
  virtual int DrawText(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                       unsigned int format) = 0;
  virtual LICE_pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};
