#pragma once

#include "framework/base/WDL_TypedBuf.h"
#include "raster/LICE_IFont.h"

// A font that draws either natively (the drawing-context layer renders the
// text into a system bitmap that is blitted in) or from a cache of glyph
// coverage masks, rendered once per character and combined into the
// destination with the blend operations. DrawText picks the native path when
// the font has LICE_FONT_FLAG_FORCE_NATIVE and nothing that needs the masks
// (effects, vertical text, pre-rendering, extra line spacing on several
// lines, LICE_DT_USEGLYPHS); line heights of 256 and more always go native.
//
// Every instance shares two system bitmaps (for measuring and rendering
// glyphs, and for native text), made on first use and freed with the last
// font. They are guarded by a process-wide lock, so fonts may be created,
// used and destroyed on several threads; one font is used by one thread at
// a time.
class LICE_CachedFont : public LICE_IFont {
 public:
  // One cached glyph.
  struct charEnt {
    int baseOffset;  // mask position in the store + 1; 0 not rendered yet, -1 nothing to draw
    int width;       // of the mask
    int height;
    int advance;  // the character's measured width: the step to the next one
    int charId;   // the code point; the extended list is sorted by it
  };

  // [any thread]
  LICE_CachedFont();
  // [any thread] Deletes an owned handle.
  ~LICE_CachedFont() override;

  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  // [thread using the font] With LICE_FONT_FLAG_OWNS_HFONT in the previous
  // flags, a previous handle other than `font` is deleted. The line height
  // becomes the font's (0 without one).
  void SetFromHFont(HFONT font, int flags = 0) override;
  LICE_pixel SetTextColor(LICE_pixel color) override;
  LICE_pixel SetBkColor(LICE_pixel color) override;
  LICE_pixel SetEffectColor(LICE_pixel color) override;
  // LICE_BKMODE_OPAQUE fills behind the text with the background colour.
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha = 1.0f) override;
  // [thread using the font] Returns the text's height: as the drawing-context
  // layer reports it (native), or the measured extent (glyphs). A null bitmap
  // is allowed with DT_CALCRECT only; otherwise, and for null text or
  // rectangle, nothing happens and the result is 0.
  int DrawText(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
               unsigned int format) override;
  LICE_pixel GetTextColor() override { return mTextColor; }
  HFONT GetHFont() override { return mFont; }
  int GetLineHeight() override { return mLineHeight; }

  // Pixels added to the line height at every line feed; returns the previous
  // value.
  int SetLineSpacingAdjust(int pixels);

  // [thread using the font] Draws a rendered glyph with its mask's top left
  // at (x, y), clipped to the clip rectangle (null: the bitmap). False when
  // the glyph is not rendered or nothing of it is inside.
  bool DrawGlyph(LICE_IBitmap* bitmap, unsigned int character, int x, int y, const RECT* clip);

 private:
  bool usesNativePath(unsigned int format) const;
  int drawNative(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                 unsigned int format);
  int drawGlyphs(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                 unsigned int format);
  // The entry of a character, rendering it when it is not yet; null when
  // there is nothing to draw or measure.
  const charEnt* glyphFor(unsigned int character);
  charEnt* findChar(unsigned int character);
  // Measures the character and stores its coverage mask; false when it
  // cannot (no handle, a line height of 1024 or more, no memory).
  bool RenderGlyph(unsigned int character);
  void finishMask(unsigned char* mask, int* width, int* height) const;

  LICE_pixel mTextColor = 0;
  LICE_pixel mBkColor = 0xFFFFFFFF;
  LICE_pixel mEffectColor = 0xFFFFFFFF;
  int mBkMode = LICE_BKMODE_TRANSPARENT;
  int mCombineMode = 0;
  float mAlpha = 1.0f;
  int mFlags = 0;
  int mLineHeight = 0;
  int mLineSpacing = 0;
  charEnt mLowChars[128] = {};
  WDL_TypedBuf<charEnt> mExtraChars{4096};
  WDL_TypedBuf<unsigned char> mMaskStore{0x10000};
  HFONT mFont = nullptr;
};
