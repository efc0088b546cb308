// The redraw pass: which area is dirty, drawing the controls over it and
// marking clean exactly what was drawn.
#include <cstdio>

#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"
#include "raster/LICE_SysBitmap.h"

bool IGraphics::IsDirty(IRECT* r) {
  if (mShowControlBounds) {
    *r = mDrawRECT;
    return true;
  }
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.GetList()[i];
    if (control->IsDirty()) {
      *r = r->Union(*control->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

void IGraphics::DrawControl(IControl* control) {
  // The change count is read before the control reads its value.
  control->TakeChangeSnapshot();
  control->Draw(this);
}

bool IGraphics::Draw(IRECT* r) {
  if (!mControls.GetSize()) return true;
  if (!mDrawBitmap || !r) return false;
  const IRECT area = r->Intersect(EditorRECT());
  if (mStrict) {
    DrawStrict(area);
  } else {
    DrawNonStrict();
  }
  if (mShowControlBounds) DrawControlBounds();
  return DrawScreen(r);
}

void IGraphics::DrawStrict(const IRECT& area) {
  mDrawRECT = area;
  const IRECT editor = EditorRECT();
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.GetList()[i];
    control->TakeChangeSnapshot();
    if (!control->IsHidden() && control->GetRECT()->Intersects(area)) control->Draw(this);
  }
  // Clean only controls whose visible part this pass covered: one that
  // became dirty elsewhere after IsDirty waits for the next pass.
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.GetList()[i];
    const IRECT visible = control->GetRECT()->Intersect(editor);
    const bool covered =
        visible.L >= area.L && visible.T >= area.T && visible.R <= area.R && visible.B <= area.B;
    if (visible.Empty() || (!area.Empty() && covered)) control->SetClean();
  }
}

void IGraphics::DrawNonStrict() {
  IControl* background = mControls.Get(0);
  if (background->IsDirty()) {
    mDrawRECT = *background->GetRECT();
    for (int i = 0; i < mControls.GetSize(); ++i) {
      IControl* control = mControls.GetList()[i];
      if (i == 0 || !control->IsHidden()) DrawControl(control);
      control->SetClean();
    }
    return;
  }
  for (int i = 1; i < mControls.GetSize(); ++i) {
    IControl* dirty = mControls.GetList()[i];
    if (!dirty->IsDirty()) continue;
    mDrawRECT = *dirty->GetRECT();
    for (int j = 0; j < mControls.GetSize(); ++j) {
      IControl* control = mControls.GetList()[j];
      if (!control->IsHidden() && (j == i || control->GetRECT()->Intersects(mDrawRECT))) {
        DrawControl(control);
      }
    }
    dirty->SetClean();
  }
}

void IGraphics::DrawControlBounds() {
  for (int i = 1; i < mControls.GetSize(); ++i) {
    IRECT rect = *mControls.Get(i)->GetRECT();
    DrawRect(&COLOR_GREEN, &rect);
  }
  char position[32];
  std::snprintf(position, sizeof position, "x: %i, y: %i", mMouseX, mMouseY);
  IText text(20, &COLOR_GREEN, nullptr, IText::kStyleNormal, IText::kAlignCenter);
  IRECT where(mWidth - 150, mHeight - 20, mWidth, mHeight);
  DrawIText(&text, position, &where);
}
