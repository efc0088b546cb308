// The editor window's own windows: popup menus and message boxes (modal,
// in a nested run loop), the text field over a control, tooltips, and the
// clipboard read through the view.
#include <string>

#include "framework/editor/IControl.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/window/x11/IGraphicsX11.h"

// Xlib last: its macros must not reach the framework's headers.
// clang-format off
#include <X11/Xlib.h>
#include "framework/window/x11/X11Clipboard.h"
#include "framework/window/x11/X11MessageBox.h"
#include "framework/window/x11/X11PopupMenu.h"
#include "framework/window/x11/X11TextField.h"
#include "framework/window/x11/X11Tooltip.h"
// clang-format on

namespace {

// What a box the user never answered says: "No" where that is offered, else
// "Cancel", else the only button there is.
int UnansweredResult(int type) {
  if (type == 4) return X11MessageBox::kAlternate;
  if (type == 1 || type == 3) return X11MessageBox::kCancel;
  return X11MessageBox::kDefault;
}

}  // namespace

bool IGraphicsX11::RootPosition(int editorX, int editorY, int* rootX, int* rootY) {
  if (!mOpen || mViewGone) return false;
  Display* display = GetDisplay();
  Window child;
  return XTranslateCoordinates(display, mView, RootWindow(display, DefaultScreen(display)),
                               editorX * mScale, editorY * mScale, rootX, rootY, &child);
}

IPopupMenu* IGraphicsX11::CreateIPopupMenu(IPopupMenu* menu, IRECT* area) {
  // The menu takes the button-up, so the control loses the mouse now.
  ReleaseMouseCapture();
  if (!menu || !area) return nullptr;
  // Below the area: its left edge, 4 pixels under its bottom.
  int rootX, rootY;
  if (!RootPosition(area->L, area->B + 4, &rootX, &rootY)) return nullptr;
  HideTooltip();
  X11PopupMenu popup(GetDisplay(), DefaultScreen(GetDisplay()), this, menu, rootX, rootY, mScale);
  RunModal(popup);
  return popup.Finished() ? popup.Result() : nullptr;
}

int IGraphicsX11::ShowMessageBox(const char* text, const char* caption, int type) {
  if (!mOpen || mViewGone) return UnansweredResult(type);
  Display* display = GetDisplay();
  // The box belongs to the host's top-level window that holds the view.
  Window topLevel = mView;
  for (;;) {
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, topLevel, &root, &up, &children, &count)) break;
    if (children) XFree(children);
    if (up == root || up == 0) break;
    topLevel = up;
  }
  HideTooltip();
  X11MessageBox box(display, DefaultScreen(display), this, text, caption, type, mScale, topLevel);
  RunModal(box);
  return box.Finished() ? box.GetResult() : UnansweredResult(type);
}

void IGraphicsX11::CreateTextEntry(IControl* control, IText* text, IRECT* textRect,
                                   const char* initialText, IParam* param) {
  if (!control || !text || !textRect || mTextField || !mOpen || mViewGone) return;
  mTextField = std::make_unique<X11TextField>(GetDisplay(), mView, *textRect, mScale, this, *text,
                                              initialText ? initialText : "", param,
                                              control->GetTextEntryLength());
  mEditControl = control;
  mEditParam = param;
}

void IGraphicsX11::EndTextEntry(bool commit) {
  if (!mTextField) return;
  const std::string typed = mTextField->Text();
  IControl* control = mEditControl;
  IParam* param = mEditParam;
  // Forget the field first: applying the text may close the editor.
  mTextField.reset();
  mEditControl = nullptr;
  mEditParam = nullptr;
  if (mOpen && !mViewGone) {
    XSetInputFocus(GetDisplay(), mView, RevertToParent, CurrentTime);
    mInvalid = IRECT(0, 0, Width(), Height());
  }
  if (!commit) return;
  if (param) {
    SetFromStringAfterPrompt(control, param, typed.c_str());
  } else {
    control->TextFromTextEntry(typed.c_str());
  }
}

bool IGraphicsX11::HandleOwnWindowEvent(XEvent& event) {
  if (mTooltip && mTooltip->HandleEvent(event)) return true;
  if (!mTextField || !mTextField->HandleEvent(event)) return false;
  const X11TextField::Outcome outcome = mTextField->GetOutcome();
  if (outcome != X11TextField::kEditing) EndTextEntry(outcome == X11TextField::kCommit);
  return true;
}

bool IGraphicsX11::GetTextFromClipboard(WDL_String* text) {
  if (!text) return false;
  text->Set("");
  if (!mOpen || mViewGone) return false;
  X11Clipboard clipboard(GetDisplay(), mView);
  std::string pasted;
  if (!clipboard.GetText(&pasted)) return false;
  text->Set(pasted.c_str());
  return true;
}

void IGraphicsX11::UpdateTooltips() {
  // Tooltips follow the control under the pointer, so there is nothing to
  // register: a changed set takes effect from the next move.
  if (mTooltipCountdown.Cancel() == TooltipCountdown::kHide) HideTooltip();
  mTooltipCountdown.MouseOver(-1, false);
}

void IGraphicsX11::TooltipMouseOver() {
  if (!TooltipsEnabled()) return;
  const int idx = GetMouseOver();
  const IControl* control = GetControl(idx);
  const bool hasTooltip = control && control->GetTooltip()[0];
  if (mTooltipCountdown.MouseOver(idx, hasTooltip) == TooltipCountdown::kHide) HideTooltip();
}

void IGraphicsX11::TooltipTick() {
  const TooltipCountdown::Action action = mTooltipCountdown.Tick();
  if (action == TooltipCountdown::kHide) HideTooltip();
  if (action != TooltipCountdown::kShow || !mOpen || mViewGone) return;
  const IControl* control = GetControl(mTooltipCountdown.ControlIdx());
  if (!control) return;
  Display* display = GetDisplay();
  Window root, child;
  int rootX, rootY, x, y;
  unsigned int state;
  if (!XQueryPointer(display, mView, &root, &child, &rootX, &rootY, &x, &y, &state)) return;
  if (!mTooltip)
    mTooltip = std::make_unique<X11Tooltip>(display, DefaultScreen(display), this, mScale);
  mTooltip->Show(control->GetTooltip(), rootX, rootY);
  XFlush(display);
}

void IGraphicsX11::HideTooltip() {
  if (mTooltip) mTooltip->Hide();
}
