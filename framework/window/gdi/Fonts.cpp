#include "framework/window/gdi/Fonts.h"

#include <ft2build.h>
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <new>
#include <set>

#include "framework/window/gdi/detail/FaceCache.h"
#include "framework/window/gdi/detail/GdiContext.h"
#include "framework/window/gdi/detail/GdiFont.h"
#include "framework/window/gdi/detail/PrivateFaces.h"

using gdi_detail::GdiLock;

namespace {

constexpr int kDefaultCharacterHeight = 12;
// Larger glyphs would only cost memory: no context that big is drawn into.
constexpr int kMaxCharacterHeight = 1024;

std::set<const void*>& liveFonts() {
  static std::set<const void*>* fonts = new std::set<const void*>;
  return *fonts;
}

HFONT__*& defaultFontSlot() {
  static HFONT__* font = nullptr;
  return font;
}

// FreeType 26.6 fixed point to whole pixels.
int ceilPixels(FT_Pos v) {
  return static_cast<int>((v + 63) >> 6);
}
int roundPixels(FT_Pos v) {
  return static_cast<int>((v + 32) >> 6);
}

int characterHeight(FT_Face face, int height) {
  long long em = kDefaultCharacterHeight;
  if (height < 0) {
    em = -static_cast<long long>(height);
  } else if (height > 0) {
    // The cell is the face's ascender-to-descender span.
    const long long span = static_cast<long long>(face->ascender) - face->descender;
    em =
        span > 0 ? (static_cast<long long>(height) * face->units_per_EM + span / 2) / span : height;
  }
  return static_cast<int>(std::clamp<long long>(em, 1, kMaxCharacterHeight));
}

// The face's own average advance at the active size, in pixels.
int averageWidth(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0) {
    return roundPixels(FT_MulFix(os2->xAvgCharWidth, face->size->metrics.x_scale));
  }
  if (FT_Load_Char(face, 'x', FT_LOAD_DEFAULT) == 0) return roundPixels(face->glyph->advance.x);
  return 0;
}

// Scales the font's size and fills in its measurements (face size active).
void setSize(HFONT__* font, int height, int width) {
  FT_Face face = font->face->face;
  const int em = characterHeight(face, height);
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
  TEXTMETRIC& tm = font->metrics;
  tm.tmAveCharWidth = averageWidth(face);
  if (width > 0 && tm.tmAveCharWidth > 0) {
    const long long xem = std::clamp<long long>(
        static_cast<long long>(em) * width / tm.tmAveCharWidth, 1, 4 * kMaxCharacterHeight);
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(xem), static_cast<FT_UInt>(em));
    tm.tmAveCharWidth = averageWidth(face);
  }
  const FT_Size_Metrics& m = face->size->metrics;
  tm.tmAscent = ceilPixels(m.ascender);
  tm.tmDescent = ceilPixels(-m.descender);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - em);
  tm.tmExternalLeading = std::max(0, roundPixels(m.height - (m.ascender - m.descender)));
  tm.tmMaxCharWidth = ceilPixels(m.max_advance);

  font->underlineThickness =
      std::max(1, roundPixels(FT_MulFix(face->underline_thickness, m.y_scale)));
  font->underlineOffset =
      roundPixels(-FT_MulFix(face->underline_position, m.y_scale)) - font->underlineThickness / 2;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    font->strikeOutThickness = std::max(1, roundPixels(FT_MulFix(os2->yStrikeoutSize, m.y_scale)));
    font->strikeOutOffset = roundPixels(FT_MulFix(os2->yStrikeoutPosition, m.y_scale));
  } else {
    font->strikeOutThickness = font->underlineThickness;
    font->strikeOutOffset = tm.tmAscent / 3;
  }
}

HFONT__* makeFont(int height, int width, int weight, bool italic, bool underline, bool strikeOut,
                  int quality, int pitchAndFamily, const char* faceName) {
  auto* font = new (std::nothrow) HFONT__;
  if (!font) return nullptr;
  const char* family = faceName && *faceName ? faceName : GDI_DEFAULT_FACE;
  weight = weight <= 0 ? FW_NORMAL : std::clamp(weight, 1, 1000);
  font->face = gdi_detail::FindFace(family, weight, italic, pitchAndFamily);
  font->monochrome = quality == NONANTIALIASED_QUALITY;
  font->underline = underline;
  font->strikeOut = strikeOut;
  font->metrics.tmWeight = weight;
  font->metrics.tmItalic = italic;
  font->metrics.tmUnderlined = underline;
  font->metrics.tmStruckOut = strikeOut;
  if (font->face && FT_New_Size(font->face->face, &font->size) == 0 &&
      FT_Activate_Size(font->size) == 0) {
    setSize(font, height, width);
  } else {
    font->face = nullptr;
  }
  liveFonts().insert(font);
  return font;
}

}  // namespace

namespace gdi_detail {

HFONT__* DefaultFont() {
  HFONT__*& font = defaultFontSlot();
  if (!font) {
    font = makeFont(-kDefaultCharacterHeight, 0, FW_NORMAL, false, false, false, DEFAULT_QUALITY,
                    DEFAULT_PITCH, GDI_DEFAULT_FACE);
  }
  return font;
}

bool IsLiveFont(const void* object) {
  return object && liveFonts().count(object);
}

void ReleaseFont(HFONT__* font) {
  if (--font->references > 0) return;
  if (font->size) FT_Done_Size(font->size);
  delete font;
}

bool ActivateFont(const HFONT__* font) {
  return font->face && font->size && FT_Activate_Size(font->size) == 0;
}

}  // namespace gdi_detail

int AddFontResourceEx(const char* path, unsigned /*flags*/, void* /*reserved*/) {
  WDL_MutexLock lock(&GdiLock());
  FT_Library library = gdi_detail::Library();
  return library ? gdi_detail::AddPrivateFaces(library, path) : 0;
}

HFONT CreateFont(int height, int width, int /*escapement*/, int /*orientation*/, int weight,
                 int italic, int underline, int strikeOut, int /*charSet*/, int /*outPrecision*/,
                 int /*clipPrecision*/, int quality, int pitchAndFamily, const char* face) {
  WDL_MutexLock lock(&GdiLock());
  return makeFont(height, width, weight, italic != 0, underline != 0, strikeOut != 0, quality,
                  pitchAndFamily, face);
}

bool DeleteObject(HGDIOBJ object) {
  WDL_MutexLock lock(&GdiLock());
  if (!gdi_detail::IsLiveFont(object) || object == defaultFontSlot()) return false;
  liveFonts().erase(object);
  gdi_detail::ReleaseFont(static_cast<HFONT__*>(object));
  return true;
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ object) {
  if (!ctx) return nullptr;
  WDL_MutexLock lock(&GdiLock());
  if (!gdi_detail::IsLiveFont(object)) return nullptr;
  auto* font = static_cast<HFONT__*>(object);
  HFONT__* previous = ctx->font ? ctx->font : gdi_detail::DefaultFont();
  ++font->references;
  if (ctx->font) gdi_detail::ReleaseFont(ctx->font);
  ctx->font = font;
  return previous;
}

bool GetTextMetrics(HDC ctx, TEXTMETRIC* metrics) {
  if (!ctx || !metrics) return false;
  WDL_MutexLock lock(&GdiLock());
  const HFONT__* font = ctx->font ? ctx->font : gdi_detail::DefaultFont();
  if (!font) return false;
  *metrics = font->metrics;
  return true;
}
