#pragma once

#include <memory>
#include <string>

#include "effect/artwork/Paint.h"

class LICE_CachedFont;

namespace artwork {

enum class Align { kLeft, kCentre, kRight };

// One size and weight of DejaVu Sans, drawn through the raster library's
// glyph cache as coverage, so text can be laid over transparent images too.
// Text is placed by its baseline; `tracking` adds pixels between letters,
// which small capitals need to stay legible. A baseline here is the last
// row a capital covers.
class Lettering {
 public:
  Lettering(int emPixels, bool bold, int tracking = 0);
  ~Lettering();
  Lettering(const Lettering&) = delete;
  Lettering& operator=(const Lettering&) = delete;

  // Width of the text's advances (tracking included, none after the last
  // letter).
  int width(const std::string& text) const;
  // Rows from the baseline up to the top of a capital.
  int capHeight() const { return mCapHeight; }

  // Draws the text with its baseline on row `baseline`; x is its left end,
  // middle or right end as `align` says.
  void draw(LICE_IBitmap* bitmap, const std::string& text, float x, int baseline, Colour colour,
            Align align = Align::kLeft) const;
  // The same text as a coverage mask, baseline on row baselineInMask(), the
  // first advance starting at column kMaskMargin.
  Mask mask(const std::string& text) const;
  int baselineInMask() const { return mBaseline + kMaskMargin; }
  static constexpr int kMaskMargin = 2;

 private:
  int advance(const std::string& character) const;

  std::unique_ptr<LICE_CachedFont> mFont;
  int mTracking;
  int mLineHeight = 0;
  int mBaseline = 0;  // from the top of a line
  int mCapHeight = 0;
};

}  // namespace artwork
