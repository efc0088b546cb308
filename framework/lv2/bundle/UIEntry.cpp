// The user-interface library's only exported symbol, read by hosts that
// show the editor; the editor's libraries load with it and not before.
#include "framework/lv2/IPlugLV2UI.h"

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return IPlugLV2UI::Descriptor(kLV2Identity, index);
}
