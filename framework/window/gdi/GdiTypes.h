#pragma once

#include <cstdint>

// Handle and record types of the GDI-style drawing layer. Handles are opaque
// pointers so that one kind cannot be passed where another is expected.

struct HDC__;
typedef HDC__* HDC;

struct HFONT__;
typedef HFONT__* HFONT;

// Any object that can be selected into a context or deleted (fonts so far).
typedef void* HGDIOBJ;

// A rectangle in pixels; right and bottom are exclusive.
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};

// A colour as red | green << 8 | blue << 16 (the system's order, not the
// raster pixel layout).
typedef uint32_t COLORREF;

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>(r & 255) | static_cast<COLORREF>(g & 255) << 8 |
         static_cast<COLORREF>(b & 255) << 16;
}
constexpr int GetRValue(COLORREF c) {
  return static_cast<int>(c & 255);
}
constexpr int GetGValue(COLORREF c) {
  return static_cast<int>((c >> 8) & 255);
}
constexpr int GetBValue(COLORREF c) {
  return static_cast<int>((c >> 16) & 255);
}

// The measurements of a font, in pixels.
struct TEXTMETRIC {
  int tmHeight;            // ascent + descent: the distance between lines
  int tmAscent;            // baseline to the top of the tallest accents
  int tmDescent;           // baseline to the bottom of descenders
  int tmInternalLeading;   // tmHeight minus the character height
  int tmExternalLeading;   // extra space the font suggests between lines
  int tmAveCharWidth;      // the font's average advance (lower-case letters)
  int tmMaxCharWidth;      // the widest advance
  int tmWeight;            // 100..900, 400 regular, 700 bold
  unsigned char tmItalic;  // non-zero for italic
  unsigned char tmUnderlined;
  unsigned char tmStruckOut;
};
