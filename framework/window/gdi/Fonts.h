#pragma once

#include "framework/window/gdi/GdiTypes.h"

// Fonts in the GDI style: created from a description, selected into a
// context, measured, deleted. The face is found first among the private
// fonts a plug-in added from its bundle (AddFontResourceEx), then among the
// installed ones. A face missing from both (such as the default "Monaco")
// resolves to the nearest one of the same kind (fixed-pitch, serif or
// sans-serif), private fonts first, so text always renders while any font
// is there, and measures the same on every machine that has the private
// fonts.
//
// All functions may be called from any thread; fonts may be shared between
// threads, contexts may not (see MemContext.h).

// Weights.
constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_BLACK = 900;

// Quality: NONANTIALIASED_QUALITY draws one-bit glyphs; every other value
// draws anti-aliased ones.
constexpr int DEFAULT_QUALITY = 0;
constexpr int NONANTIALIASED_QUALITY = 3;
constexpr int ANTIALIASED_QUALITY = 4;

// Pitch and family: consulted when the face is missing, to choose a
// substitute of the same kind.
constexpr int DEFAULT_PITCH = 0;
constexpr int FIXED_PITCH = 1;
constexpr int VARIABLE_PITCH = 2;
constexpr int FF_DONTCARE = 0x00;
constexpr int FF_ROMAN = 0x10;
constexpr int FF_SWISS = 0x20;
constexpr int FF_MODERN = 0x30;

// The face used when none is named.
constexpr const char* GDI_DEFAULT_FACE = "Monaco";

// Private fonts are seen by this process's text only.
constexpr unsigned FR_PRIVATE = 0x10;

// [any thread] Adds the scalable font files at `path` (a font file, or a
// folder whose font files are added, not those of its subfolders) to the
// private fonts, which fonts created afterwards prefer to any installed
// face. They live in a font configuration of this layer's own: the
// process's fontconfig configuration, and so a host's text, is untouched.
// Returns the number of faces added: 0 for a null path, a path without
// fonts, or files already added. `flags` is FR_PRIVATE (all added fonts are
// private) and `reserved` is ignored.
int AddFontResourceEx(const char* path, unsigned flags, void* reserved);

// [any thread] A font, or null when memory runs out. Should no font file be
// installed at all, the font measures and draws nothing.
//
// height < 0: the character height (the em size) is -height pixels.
// height > 0: the cell height (ascent + descent, tmHeight) is height pixels;
//             the character height is scaled to fit it.
// height = 0: 12-pixel characters.
// Character heights are limited to 1024 pixels.
// width: the average character width in pixels (the font is stretched or
//   narrowed to it); 0 keeps the face's proportions.
// weight: FW_*; italic, underline, strikeOut: non-zero to apply; a face
//   without a bold or italic variant is emboldened or slanted.
// escapement, orientation, charSet, outPrecision and clipPrecision are
//   accepted and ignored: text is always drawn horizontally from Unicode.
// face: a family name; null or empty means GDI_DEFAULT_FACE.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, int italic,
                 int underline, int strikeOut, int charSet, int outPrecision, int clipPrecision,
                 int quality, int pitchAndFamily, const char* face);

// [any thread] Deletes a font made by CreateFont; false for anything else
// (null, an already deleted font, the default font). A font still selected
// into a context stays usable by that context until it is replaced there.
bool DeleteObject(HGDIOBJ object);

// [thread of the context] Selects a font into the context and returns the
// previous one (the default font when nothing else was selected), to be
// selected back later. Null or a deleted font selects nothing and returns
// null.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ object);

// [thread of the context] The measurements of the selected font; false for a
// null context or metrics.
bool GetTextMetrics(HDC ctx, TEXTMETRIC* metrics);
