// The plug-in's only exported symbols: the component entries a host finds
// through the bundle's Info.plist.
#include "framework/au/IPlugAU.h"

#define MORVEX_EXPORT extern "C" __attribute__((visibility("default")))

MORVEX_EXPORT ComponentResult Morvex_Entry(ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUEntry(params, storage);
}

MORVEX_EXPORT ComponentResult Morvex_ViewEntry(ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}
