#include "framework/editor/ICaptionControl.h"

#include "framework/plugin/IParam.h"

ICaptionControl::ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text,
                                 bool showParamLabel)
    : ITextControl(plug, rect, text), mShowParamLabel(showParamLabel) {
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) {
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* graphics) {
  if (const IParam* param = GetParam()) {
    IParam::DisplayString display;
    param->GetDisplayForHost(display);
    mStr.Set(display);
    if (mShowParamLabel) {
      mStr.Append(" ");
      mStr.Append(param->GetLabelForHost());
    }
  }
  return ITextControl::Draw(graphics);
}
