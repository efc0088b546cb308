#include <climits>
#include <new>

#include "framework/base/NumericConversions.h"
#include "framework/editor/FontHeight.h"
#include "framework/editor/FontStorage.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/LiceConversions.h"
#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_SysBitmap.h"

namespace {

// Text in a colour that is not opaque goes through the glyph cache rather
// than the platform's renderer.
constexpr unsigned int kUseForegroundAlpha = LICE_DT_USEGLYPHS;

int FontQuality(IText::EQuality quality) {
  switch (quality) {
    case IText::kQualityDefault:
      return DEFAULT_QUALITY;
    case IText::kQualityAntiAliased:
    case IText::kQualityClearType:
      return ANTIALIASED_QUALITY;
    case IText::kQualityNonAntiAliased:
      break;
  }
  return NONANTIALIASED_QUALITY;
}

// Tenths of a degree, saturated rather than overflowing for absurd angles.
int TenthsOfDegree(int degrees) {
  const long long tenths = 10ll * degrees;
  if (tenths > INT_MAX) return INT_MAX;
  if (tenths < INT_MIN) return INT_MIN;
  return static_cast<int>(tenths);
}

}  // namespace

LICE_IFont* IGraphics::CacheFont(IText* text) {
  if (!text) return nullptr;
  if (LICE_IFont* cached = s_fontCache.Find(text)) {
    text->mCached = cached;
    return cached;
  }
  auto* font = new (std::nothrow) LICE_CachedFont;
  if (!font) return nullptr;
  const int angle = TenthsOfDegree(text->mOrientation);
  const int weight = text->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL;
  const int italic = text->mStyle == IText::kStyleItalic ? 1 : 0;
  const int quality = FontQuality(text->mQuality);
  int height = text->mSize;
  // The platform's idea of a font height need not be the line height the
  // layout was drawn for: ask once, then once more corrected by the ratio.
  for (int pass = 0;; ++pass) {
    height = FontRequestHeight(height);
    HFONT handle =
        CreateFont(height, 0, angle, angle, weight, italic, 0, 0, 0, 0, 0, quality, 0, text->mFont);
    if (!handle) {
      delete font;
      return nullptr;
    }
    font->SetFromHFont(handle, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    if (pass == 1 || font->GetLineHeight() == height) break;
    height = CorrectedFontHeight(height, font->GetLineHeight());
  }
  if (!s_fontCache.Add(font, text)) {
    // No room in the cache: a font nobody owns would leak on every draw.
    delete font;
    return nullptr;
  }
  text->mCached = font;
  return font;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* rect, bool measure) {
  // Measuring needs no surface, so layouts may measure before PrepDraw.
  if (!measure && !(mDrawBitmap && mDrawBitmap->getBits())) return false;
  if (!str || !*str) return true;
  if (!text || !rect) return false;
  LICE_IFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  font->SetTextColor(LiceColor(&text->mColor));

  unsigned int flags = DT_NOCLIP;
  if (text->mColor.A < 255) flags |= kUseForegroundAlpha;
  if (text->mAlign == IText::kAlignCenter) flags |= DT_CENTER;
  if (text->mAlign == IText::kAlignFar) flags |= DT_RIGHT;

  if (measure) {
    RECT extent = {0, 0, 0, 0};
    font->DrawText(mDrawBitmap, str, -1, &extent, flags | DT_CALCRECT);
    const int w = extent.right - extent.left;
    const int h = extent.bottom - extent.top;
    // Sums are taken in double and saturated: a rectangle at the edge of
    // the int range must not overflow.
    switch (text->mAlign) {
      case IText::kAlignCenter:
        rect->L = TruncToInt(static_cast<double>(TruncToInt(rect->MW())) - w / 2);
        rect->R = TruncToInt(static_cast<double>(rect->L) + w);
        break;
      case IText::kAlignFar:
        rect->L = TruncToInt(static_cast<double>(rect->R) - w);
        rect->R = TruncToInt(static_cast<double>(rect->L) + w);
        break;
      case IText::kAlignNear:
      default:
        rect->R = TruncToInt(static_cast<double>(rect->L) + w);
        break;
    }
    rect->B = TruncToInt(static_cast<double>(rect->T) + h);
    return true;
  }

  RECT box = {rect->L, rect->T, rect->R, rect->B};
  font->DrawText(mDrawBitmap, str, -1, &box, flags);
  return true;
}

bool IGraphics::MeasureIText(IText* text, char* str, IRECT* textRect) {
  return DrawIText(text, str, textRect, true);
}
