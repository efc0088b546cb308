#include "framework/editor/ITextControl.h"

#include <cstring>

#include "framework/editor/IGraphics.h"

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str)
    : IControl(plug, rect) {
  if (text) mText = *text;
  mStr.Set(str ? str : "");
}

void ITextControl::SetTextFromPlug(const char* str) {
  if (!str) str = "";
  if (std::strcmp(mStr.Get(), str) == 0) return;
  mStr.Set(str);
  SetDirty(false);
}

bool ITextControl::Draw(IGraphics* graphics) {
  if (!*mStr.Get()) return true;
  return graphics->DrawIText(&mText, mStr.Get(), &mRECT);
}
