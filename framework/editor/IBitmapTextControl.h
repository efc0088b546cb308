#pragma once

#include "framework/base/WDL_String.h"
#include "framework/editor/IBitmap.h"
#include "framework/editor/IControl.h"

// Text drawn from a bitmap font (a strip with one frame per character from
// the space on), set by the layout or pushed from the plug-in side.
// [UI thread]
class IBitmapTextControl : public IControl {
 public:
  IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap* font, const char* str = "",
                     const IText* text = nullptr, int charWidth = 6, int charHeight = 12,
                     int charOffset = 0, bool multiLine = false, bool vCenter = true);

  // Redraws only when the text changed.
  void SetTextFromPlug(const char* str);
  bool Draw(IGraphics* graphics) override;

 private:
  WDL_String mStr;
  int mCharWidth;
  int mCharHeight;
  int mCharOffset;
  IBitmap mFontBitmap;
  bool mMultiLine;
  bool mVCentre;
};
