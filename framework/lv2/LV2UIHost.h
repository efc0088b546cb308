#pragma once

#include <cstdint>

#include "lv2/core/lv2.h"
#include "lv2/ui/ui.h"

// What the host offers a user interface instance: port writes, and where the
// host provides them, touch notifications and resizing. [UI thread]
class LV2UIHost {
 public:
  // features may be null; unknown features are ignored.
  LV2UIHost(LV2UI_Write_Function write, LV2UI_Controller controller,
            const LV2_Feature* const* features);

  // A new value for a control port, in the parameter's own units.
  void WritePort(uint32_t port, float value) const;
  // A gesture on the port begins (grabbed) or ends.
  void Touch(uint32_t port, bool grabbed) const;
  // Asks the host to resize the user interface; false when it cannot.
  bool Resize(int w, int h) const;
  // The window the host embeds the user interface in, or 0 for none.
  uintptr_t Parent() const { return mParent; }

 private:
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  const LV2UI_Resize* mResize;
  uintptr_t mParent;
};
