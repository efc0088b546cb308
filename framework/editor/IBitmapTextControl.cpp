#include "framework/editor/IBitmapTextControl.h"

#include <cstring>

#include "framework/editor/DrawBitmapedText.h"

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap* font,
                                       const char* str, const IText* text, int charWidth,
                                       int charHeight, int charOffset, bool multiLine, bool vCenter)
    : IControl(plug, rect),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mCharOffset(charOffset),
      mFontBitmap(font ? *font : IBitmap()),
      mMultiLine(multiLine),
      mVCentre(vCenter) {
  mStr.Set(str ? str : "");
  if (text) mText = *text;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (!str) str = "";
  if (std::strcmp(mStr.Get(), str) == 0) return;
  mStr.Set(str);
  SetDirty(false);
}

bool IBitmapTextControl::Draw(IGraphics* graphics) {
  if (!*mStr.Get()) return true;
  return DrawBitmapedText(graphics, &mFontBitmap, &mRECT, &mText, &mBlend, mStr.Get(), mVCentre,
                          mMultiLine, mCharWidth, mCharHeight, mCharOffset);
}
