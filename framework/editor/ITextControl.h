#pragma once

#include "framework/base/WDL_String.h"
#include "framework/editor/IControl.h"

// A line of text in a rectangle, set by the layout or pushed from the
// plug-in side; other controls use one to show a value or a name.
// [UI thread]
class ITextControl : public IControl {
 public:
  ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str = "");

  // Redraws only when the text changed.
  void SetTextFromPlug(const char* str);
  const char* GetTextString() const { return mStr.Get(); }

  bool Draw(IGraphics* graphics) override;

 protected:
  WDL_String mStr;
};
