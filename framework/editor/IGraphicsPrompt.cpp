// Asking the user for a parameter value: a menu of its display texts or a
// text field, and applying what came back.
#include <cstring>

#include "framework/base/ParseNumber.h"
#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/plugin/IParam.h"

namespace {

// Enumerations, and switches that name their two states, are picked from a
// menu; everything else is typed.
bool IsPickedFromMenu(const IParam* param) {
  return param->Type() == IParam::kTypeEnum ||
         (param->Type() == IParam::kTypeBool && param->GetNDisplayTexts() > 0);
}

}  // namespace

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* textRect) {
  if (!control || !param || !textRect) return;
  if (IsPickedFromMenu(param)) {
    IParam::DisplayString current;
    param->GetDisplayForHost(current);
    IPopupMenu menu;
    for (int i = 0; i < param->GetNDisplayTexts(); ++i) {
      const char* text = param->GetDisplayTextAtIdx(i);
      const bool isCurrent = std::strcmp(text, current) == 0;
      menu.AddItem(text, -1, isCurrent ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
    }
    // The picked entry stands for its display text's own value, which is
    // the position only where the texts run 0, 1, 2, ...
    if (IPopupMenu* chosen = CreateIPopupMenu(&menu, textRect)) {
      const int idx = chosen->GetChosenItemIdx();
      int value = 0;
      if (idx >= 0 && idx < param->GetNDisplayTexts()) {
        param->GetDisplayTextAtIdx(idx, &value);
        control->SetValueFromUserInput(param->GetNormalized(value));
      }
    }
    return;
  }
  IParam::DisplayString current;
  param->GetDisplayForHostNoDisplayText(current);
  CreateTextEntry(control, control->GetText(), textRect, current, param);
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text) {
  if (!control || !param || !text) return;
  double value = 0.0;
  if (IsPickedFromMenu(param)) {
    int mapped = 0;
    if (!param->MapDisplayText(text, &mapped)) return;
    value = mapped;
  } else {
    if (!ParseFiniteDouble(text, &value)) return;
    if (param->DisplayIsNegated()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}
