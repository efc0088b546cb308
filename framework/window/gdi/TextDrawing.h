#pragma once

#include "framework/window/gdi/GdiTypes.h"

// Text drawn with a context's selected font, text colour and background mode
// into its frame buffer, anti-aliased. Text is UTF-8; a malformed sequence
// shows as U+FFFD.

// Background modes.
constexpr int TRANSPARENT = 1;  // only the glyphs are drawn
constexpr int OPAQUE = 2;       // each line's box is filled with the background colour first

// DrawText format flags. Left and top alignment are the defaults (0).
constexpr unsigned int DT_LEFT = 0;
constexpr unsigned int DT_TOP = 0;
// Measure only: the rectangle's right and bottom receive the text's extent
// (right = left + widest line, bottom = top + height); nothing is drawn.
constexpr unsigned int DT_CALCRECT = 1;
constexpr unsigned int DT_VCENTER = 2;
constexpr unsigned int DT_CENTER = 4;
constexpr unsigned int DT_BOTTOM = 16;
constexpr unsigned int DT_RIGHT = 32;
// Line feeds count as spaces.
constexpr unsigned int DT_SINGLELINE = 64;
// '&' is drawn as itself; without it '&' underlines the next character and
// "&&" draws one '&'.
constexpr unsigned int DT_NOPREFIX = 0x80;
// Glyphs may reach outside the rectangle (never outside the frame buffer).
constexpr unsigned int DT_NOCLIP = 0x100;

// [thread of the context] Each returns the previous value; a null context
// changes nothing and returns 0.
COLORREF SetTextColor(HDC ctx, COLORREF color);
COLORREF SetBkColor(HDC ctx, COLORREF color);
// TRANSPARENT or OPAQUE; other values are ignored (the mode stays).
int SetBkMode(HDC ctx, int mode);

// [thread of the context] Draws `length` bytes of text (to its NUL, which
// also ends a longer length; negative: to the NUL) into the rectangle.
// Lines end at line feeds (carriage returns are skipped); a final line feed
// starts no further line. Each line is aligned on its own horizontally; the
// block of lines vertically (with or without DT_SINGLELINE). Returns the
// height of the text (lines x tmHeight), 0 for a null context, rectangle or
// text.
int DrawText(HDC ctx, const char* text, int length, RECT* rect, unsigned int format);
