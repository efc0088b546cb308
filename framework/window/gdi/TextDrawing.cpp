#include "framework/window/gdi/TextDrawing.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/window/gdi/Utf8.h"
#include "framework/window/gdi/detail/FaceCache.h"
#include "framework/window/gdi/detail/GdiContext.h"
#include "framework/window/gdi/detail/GdiFont.h"

namespace {

struct Line {
  std::vector<unsigned int> chars;
  int underlined = -1;  // the character a prefix '&' marks
  long long width = 0;  // pixels
};

// Clip bounds; 64-bit so that no rectangle an application passes overflows.
struct Box {
  long long left, top, right, bottom;

  Box intersect(const Box& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
};

std::vector<Line> splitLines(const char* text, int length, unsigned int format) {
  const int end =
      static_cast<int>(length < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(length)));
  std::vector<Line> lines;
  Line current;
  bool prefix = false;
  for (int pos = 0; pos < end;) {
    unsigned int c = SWELL_Utf8Next(text, end, &pos);
    if (c == '\r') continue;
    if (c == '\n') {
      if (!(format & DT_SINGLELINE)) {
        lines.push_back(std::move(current));
        current = Line();
        prefix = false;
        continue;
      }
      c = ' ';
    }
    if (!(format & DT_NOPREFIX) && c == '&' && !prefix) {
      prefix = true;
      continue;
    }
    if (prefix && c != '&') current.underlined = static_cast<int>(current.chars.size());
    prefix = false;
    current.chars.push_back(c);
  }
  if (!current.chars.empty()) lines.push_back(std::move(current));
  return lines;
}

bool isControl(unsigned int c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

bool loadGlyph(const HFONT__* font, FT_UInt index) {
  FT_Face face = font->face->face;
  if (FT_Load_Glyph(face, index, font->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT)) {
    return false;
  }
  if (font->face->oblique) FT_GlyphSlot_Oblique(face->glyph);
  if (font->face->embolden) FT_GlyphSlot_Embolden(face->glyph);
  return true;
}

// Lays the line out from pen position 0 and calls atGlyph(index, pen, slot)
// for every glyph (rendered when `render`); returns the final pen position.
// The font's size must be active.
template <class F>
FT_Pos walkLine(const HFONT__* font, const Line& line, bool render, F&& atGlyph) {
  FT_Face face = font->face->face;
  const FT_Render_Mode mode = font->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
  FT_Pos pen = 0;
  FT_UInt previous = 0;
  for (size_t i = 0; i < line.chars.size(); ++i) {
    if (isControl(line.chars[i])) continue;
    const FT_UInt index = FT_Get_Char_Index(face, line.chars[i]);
    FT_Vector kern;
    if (previous && index && FT_HAS_KERNING(face) &&
        !FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern)) {
      pen += kern.x;
    }
    previous = index;
    if (!loadGlyph(font, index)) continue;
    if (!render || !FT_Render_Glyph(face->glyph, mode)) atGlyph(i, pen, face->glyph);
    pen += face->glyph->advance.x;
  }
  return pen;
}

long long roundPixels(FT_Pos v) {
  return (static_cast<long long>(v) + 32) >> 6;
}

uint8_t* pixelAt(HDC ctx, long long x, long long y) {
  return reinterpret_cast<uint8_t*>(ctx->bits + y * ctx->rowSpan + x);
}

void fill(HDC ctx, const Box& area, COLORREF color) {
  for (long long y = area.top; y < area.bottom; ++y) {
    for (long long x = area.left; x < area.right; ++x) {
      uint8_t* p = pixelAt(ctx, x, y);
      p[0] = 255;
      p[1] = static_cast<uint8_t>(GetRValue(color));
      p[2] = static_cast<uint8_t>(GetGValue(color));
      p[3] = static_cast<uint8_t>(GetBValue(color));
    }
  }
}

// Lays colour over a pixel at coverage 0..255, opaque text over whatever is
// there (alpha accumulates the same way).
void blend(uint8_t* p, COLORREF color, int coverage) {
  const int keep = 255 - coverage;
  p[0] = static_cast<uint8_t>((p[0] * keep + 255 * coverage + 127) / 255);
  p[1] = static_cast<uint8_t>((p[1] * keep + GetRValue(color) * coverage + 127) / 255);
  p[2] = static_cast<uint8_t>((p[2] * keep + GetGValue(color) * coverage + 127) / 255);
  p[3] = static_cast<uint8_t>((p[3] * keep + GetBValue(color) * coverage + 127) / 255);
}

void drawBitmap(HDC ctx, const FT_Bitmap& bitmap, long long left, long long top, const Box& clip) {
  const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if ((!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) || bitmap.pitch < 0) return;
  const Box area = Box{left, top, left + bitmap.width, top + bitmap.rows}.intersect(clip);
  for (long long y = area.top; y < area.bottom; ++y) {
    const unsigned char* row = bitmap.buffer + (y - top) * bitmap.pitch;
    for (long long x = area.left; x < area.right; ++x) {
      const long long col = x - left;
      const int coverage = mono ? ((row[col >> 3] >> (7 - (col & 7))) & 1) * 255 : row[col];
      if (coverage) blend(pixelAt(ctx, x, y), ctx->textColor, coverage);
    }
  }
}

long long alignedStart(long long low, long long high, long long extent, unsigned int format,
                       unsigned int centre, unsigned int far) {
  if (format & far) return high - extent;
  if (format & centre) return (low + high - extent) / 2;
  return low;
}

void drawLine(HDC ctx, const HFONT__* font, const Line& line, long long x, long long top,
              const Box& clip) {
  const TEXTMETRIC& tm = font->metrics;
  const long long baseline = top + tm.tmAscent;
  if (ctx->bkMode == OPAQUE) {
    fill(ctx, Box{x, top, x + line.width, top + tm.tmHeight}.intersect(clip), ctx->bkColor);
  }
  long long markFrom = 0, markTo = 0;
  walkLine(font, line, true, [&](size_t i, FT_Pos pen, FT_GlyphSlot slot) {
    drawBitmap(ctx, slot->bitmap, x + roundPixels(pen) + slot->bitmap_left,
               baseline - slot->bitmap_top, clip);
    if (static_cast<int>(i) == line.underlined) {
      markFrom = x + roundPixels(pen);
      markTo = x + roundPixels(pen + slot->advance.x);
    }
  });
  const long long under = baseline + font->underlineOffset;
  if (font->underline) {
    fill(ctx, Box{x, under, x + line.width, under + font->underlineThickness}.intersect(clip),
         ctx->textColor);
  } else if (markTo > markFrom) {
    fill(ctx, Box{markFrom, under, markTo, under + font->underlineThickness}.intersect(clip),
         ctx->textColor);
  }
  if (font->strikeOut) {
    const long long strike = baseline - font->strikeOutOffset;
    fill(ctx, Box{x, strike, x + line.width, strike + font->strikeOutThickness}.intersect(clip),
         ctx->textColor);
  }
}

int clampInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace

COLORREF SetTextColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  return std::exchange(ctx->textColor, color);
}

COLORREF SetBkColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  return std::exchange(ctx->bkColor, color);
}

int SetBkMode(HDC ctx, int mode) {
  if (!ctx) return 0;
  const int previous = ctx->bkMode;
  if (mode == TRANSPARENT || mode == OPAQUE) ctx->bkMode = mode;
  return previous;
}

int DrawText(HDC ctx, const char* text, int length, RECT* rect, unsigned int format) {
  if (!ctx || !text || !rect) return 0;
  WDL_MutexLock lock(&gdi_detail::GdiLock());
  const HFONT__* font = ctx->font ? ctx->font : gdi_detail::DefaultFont();
  if (!font) return 0;
  std::vector<Line> lines = splitLines(text, length, format);
  const bool drawable = gdi_detail::ActivateFont(font);
  long long widest = 0;
  for (Line& line : lines) {
    if (drawable) {
      line.width = (walkLine(font, line, false, [](size_t, FT_Pos, FT_GlyphSlot) {}) + 63) >> 6;
    }
    widest = std::max(widest, line.width);
  }
  const long long lineHeight = font->metrics.tmHeight;
  const long long height = static_cast<long long>(lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    rect->right = clampInt(rect->left + widest);
    rect->bottom = clampInt(rect->top + height);
    return clampInt(height);
  }
  if (!drawable || !ctx->bits) return clampInt(height);

  const Box frame{0, 0, ctx->width, ctx->height};
  const Box bounds{rect->left, rect->top, rect->right, rect->bottom};
  const Box clip = (format & DT_NOCLIP) ? frame : frame.intersect(bounds);
  const long long top =
      alignedStart(bounds.top, bounds.bottom, height, format, DT_VCENTER, DT_BOTTOM);
  for (size_t i = 0; i < lines.size(); ++i) {
    const long long x =
        alignedStart(bounds.left, bounds.right, lines[i].width, format, DT_CENTER, DT_RIGHT);
    const long long lineTop = top + static_cast<long long>(i) * lineHeight;
    if (lineTop >= clip.bottom || lineTop + lineHeight <= clip.top) continue;
    drawLine(ctx, font, lines[i], x, lineTop, clip);
  }
  return clampInt(height);
}
