// The plug-in library's only exported symbol: the descriptor hosts look up
// after reading the bundle's manifest. The user interface is a library of
// its own (UIEntry.cpp).
#include "framework/lv2/IPlugLV2.h"

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return IPlugLV2::Descriptor(kLV2Identity, index);
}
