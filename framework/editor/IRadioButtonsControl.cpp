#include "framework/editor/IRadioButtonsControl.h"

#include "framework/base/NumericConversions.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/StepForValue.h"

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           const IBitmap* bitmap, EDirection direction,
                                           bool reverse)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()) {
  if (nButtons < 1 || !mRECTs.ResizeOK(nButtons)) return;
  const bool horizontal = direction == kHorizontal;
  const double w = mBitmap.FrameWidth(), h = mBitmap.FrameHeight();
  const double size = horizontal ? w : h;
  const double room = horizontal ? rect.W() : rect.H();
  // One button has no gap to share out.
  const double gap = nButtons > 1 ? TruncToInt((room - nButtons * size) / (nButtons - 1)) : 0.0;
  const double step = size + gap;
  double x = rect.L, y = rect.T;
  if (reverse) {
    if (horizontal) {
      x = rect.R - w - gap;
    } else {
      y = rect.B - h - gap;
    }
  }
  const double advance = reverse ? -step : step;
  for (int i = 0; i < nButtons; ++i) {
    // Taken in double and saturated, so absurd geometry cannot overflow.
    mRECTs.Get()[i] = IRECT(TruncToInt(x), TruncToInt(y), TruncToInt(x + w), TruncToInt(y + h));
    if (horizontal) {
      x += advance;
    } else {
      y += advance;
    }
  }
}

const IRECT* IRadioButtonsControl::GetButtonRECT(int i) const {
  return i >= 0 && i < mRECTs.GetSize() ? mRECTs.Get() + i : nullptr;
}

int IRadioButtonsControl::ActiveButton() const {
  return StepForValue(GetValue(), mRECTs.GetSize());
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
  } else {
    const int n = mRECTs.GetSize();
    for (int i = 0; i < n; ++i) {
      if (mRECTs.Get()[i].Contains(x, y)) {
        SetValue(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0);
        break;
      }
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics) {
  const int active = ActiveButton();
  for (int i = 0; i < mRECTs.GetSize(); ++i)
    graphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  return true;
}
