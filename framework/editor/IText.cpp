#include "framework/editor/IText.h"

#include "framework/base/TruncatingCopy.h"

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align,
             int orientation, EQuality quality, const IColor* textEntryBGColor,
             const IColor* textEntryFGColor)
    : mSize(size),
      mColor(color ? *color : DEFAULT_TEXT_COLOR),
      mTextEntryBGColor(textEntryBGColor ? *textEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
      mTextEntryFGColor(textEntryFGColor ? *textEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality) {
  TruncatingCopy(mFont, font ? font : DEFAULT_FONT);
}
