#include "framework/editor/ISwitchFramesControl.h"

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx,
                                           const IBitmap* bitmap, bool imagesAreHorizontal,
                                           IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {
  SetPromptDisabled(false);
  const int n = mBitmap.FrameCount();
  for (int i = 0; i < n; ++i) {
    const IRECT area =
        imagesAreHorizontal ? mRECT.SubRectHorizontal(n, i) : mRECT.SubRectVertical(n, i);
    // Out of memory the switch keeps the areas it has; clicks elsewhere
    // change nothing.
    if (!mClickRECTs.Add(area)) break;
  }
}

const IRECT* ISwitchFramesControl::GetClickRECT(int i) const {
  return i >= 0 && i < mClickRECTs.GetSize() ? mClickRECTs.Get() + i : nullptr;
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
  } else {
    const int n = mClickRECTs.GetSize();
    for (int i = 0; i < n; ++i) {
      if (mClickRECTs.Get()[i].Contains(x, y)) {
        SetValue(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0);
        break;
      }
    }
  }
  SetDirty(true);
}
