// The LV2 library's only exported symbols: the plug-in and user-interface
// descriptors hosts look up after reading the bundle's manifest.
#include "effect/MorvexLV2Identity.h"
#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/IPlugLV2UI.h"

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return IPlugLV2::Descriptor(kMorvexLV2, index);
}

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return IPlugLV2UI::Descriptor(kMorvexLV2, index);
}
