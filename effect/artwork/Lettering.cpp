#include "effect/artwork/Lettering.h"

#include <cmath>
#include <vector>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

// The text split into its UTF-8 characters, each kept as bytes.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) {
      n = 4;
    } else if (lead >= 0xE0) {
      n = 3;
    } else if (lead >= 0xC0) {
      n = 2;
    }
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

Lettering::Lettering(int emPixels, bool bold, int tracking)
    : mFont(std::make_unique<LICE_CachedFont>()), mTracking(tracking) {
  static const int privateFaces = AddFontResourceEx(MORVEX_ARTWORK_FONTS, FR_PRIVATE, nullptr);
  (void)privateFaces;
  mFont->SetFromHFont(CreateFont(-emPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                                 ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans"),
                      LICE_FONT_FLAG_OWNS_HFONT);
  mFont->SetTextColor(LICE_RGBA(255, 255, 255, 255));
  mFont->SetCombineMode(0, 1.0f);
  RECT r = {0, 0, 0, 0};
  mFont->DrawText(nullptr, "H", -1, &r, DT_CALCRECT | LICE_DT_USEGLYPHS);
  mLineHeight = r.bottom;
  // The baseline and cap height are read off a drawn capital.
  LICE_MemBitmap probe(r.right + 4, mLineHeight + 4);
  LICE_Clear(&probe, 0);
  RECT at = {2, 2, r.right + 2, mLineHeight + 2};
  mFont->DrawText(&probe, "H", -1, &at, LICE_DT_USEGLYPHS);
  int top = -1, bottom = -1;
  for (int y = 0; y < probe.getHeight(); ++y) {
    for (int x = 0; x < probe.getWidth(); ++x) {
      if (LICE_GETR(LICE_GetPixel(&probe, x, y)) > 127) {
        if (top < 0) top = y;
        bottom = y;
      }
    }
  }
  mBaseline = bottom - 2;
  mCapHeight = bottom - top + 1;
}

Lettering::~Lettering() = default;

int Lettering::advance(const std::string& character) const {
  RECT r = {0, 0, 0, 0};
  mFont->DrawText(nullptr, character.c_str(), static_cast<int>(character.size()), &r,
                  DT_CALCRECT | DT_NOPREFIX | LICE_DT_USEGLYPHS);
  return r.right;
}

int Lettering::width(const std::string& text) const {
  if (mTracking == 0) {
    RECT r = {0, 0, 0, 0};
    mFont->DrawText(nullptr, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | LICE_DT_USEGLYPHS);
    return r.right;
  }
  int w = 0;
  const std::vector<std::string> characters = Characters(text);
  for (const std::string& c : characters)
    w += advance(c) + mTracking;
  return characters.empty() ? 0 : w - mTracking;
}

Mask Lettering::mask(const std::string& text) const {
  const int w = width(text);
  LICE_MemBitmap ink(w + 2 * kMaskMargin + 2, mLineHeight + 2 * kMaskMargin);
  LICE_Clear(&ink, 0);
  const unsigned int format = DT_NOPREFIX | DT_NOCLIP | LICE_DT_USEGLYPHS;
  if (mTracking == 0) {
    RECT r = {kMaskMargin, kMaskMargin, ink.getWidth(), ink.getHeight()};
    mFont->DrawText(&ink, text.c_str(), -1, &r, format);
  } else {
    int x = kMaskMargin;
    for (const std::string& c : Characters(text)) {
      RECT r = {x, kMaskMargin, ink.getWidth(), ink.getHeight()};
      mFont->DrawText(&ink, c.c_str(), static_cast<int>(c.size()), &r, format);
      x += advance(c) + mTracking;
    }
  }
  Mask out(ink.getWidth(), ink.getHeight());
  for (int y = 0; y < ink.getHeight(); ++y) {
    for (int x = 0; x < ink.getWidth(); ++x)
      out.set(x, y, static_cast<float>(LICE_GETR(LICE_GetPixel(&ink, x, y))) / 255.0f);
  }
  return out;
}

void Lettering::draw(LICE_IBitmap* bitmap, const std::string& text, float x, int baseline,
                     Colour colour, Align align) const {
  const int w = width(text);
  float left = x;
  if (align == Align::kCentre) left = x - 0.5f * static_cast<float>(w);
  if (align == Align::kRight) left = x - static_cast<float>(w);
  const Mask m = mask(text);
  m.paintInto(bitmap, static_cast<int>(std::lround(left)) - kMaskMargin,
              baseline - baselineInMask(), colour);
}

}  // namespace artwork
