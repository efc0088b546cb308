#include "framework/lv2/LV2UIHost.h"

#include "framework/lv2/detail/Features.h"

LV2UIHost::LV2UIHost(LV2UI_Write_Function write, LV2UI_Controller controller,
                     const LV2_Feature* const* features)
    : mWrite(write),
      mController(controller),
      mTouch(FindFeature<LV2UI_Touch>(features, LV2_UI__touch)),
      mResize(FindFeature<LV2UI_Resize>(features, LV2_UI__resize)),
      mParent(reinterpret_cast<uintptr_t>(FindFeature<void>(features, LV2_UI__parent))) {}

void LV2UIHost::WritePort(uint32_t port, float value) const {
  if (mWrite) mWrite(mController, port, sizeof value, 0, &value);
}

void LV2UIHost::Touch(uint32_t port, bool grabbed) const {
  if (mTouch && mTouch->touch) mTouch->touch(mTouch->handle, port, grabbed);
}

bool LV2UIHost::Resize(int w, int h) const {
  return mResize && mResize->ui_resize && mResize->ui_resize(mResize->handle, w, h) == 0;
}
