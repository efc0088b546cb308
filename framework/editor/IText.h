#pragma once

#include "framework/editor/IColor.h"

class LICE_IFont;

inline constexpr char DEFAULT_FONT[] = "Monaco";
inline constexpr int DEFAULT_TEXT_SIZE = 10;
inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// A text style: face, size, colours, style, alignment, angle and rendering
// quality, plus the font the first draw found for it. Copied freely; the
// cached font belongs to the font cache. Used on the UI thread.
struct IText {
  enum EStyle { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
  // kQualityClearType renders like kQualityAntiAliased.
  enum EQuality {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };
  static constexpr int kMaxFontName = 32;

  char mFont[kMaxFontName];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees
  EQuality mQuality;
  LICE_IFont* mCached = nullptr;

  // Null colours and a null font take the defaults above; a longer face
  // name is cut to kMaxFontName - 1 characters.
  explicit IText(int size = DEFAULT_TEXT_SIZE, const IColor* color = nullptr,
                 const char* font = nullptr, EStyle style = kStyleNormal,
                 EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor* textEntryBGColor = nullptr,
                 const IColor* textEntryFGColor = nullptr);
};
