// The plug-in library's only exported symbol: the descriptor hosts look up
// after reading the bundle's manifest. The user interface is MorvexUI.so.
#include "effect/MorvexLV2Identity.h"
#include "framework/lv2/IPlugLV2.h"

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return IPlugLV2::Descriptor(kMorvexLV2, index);
}
