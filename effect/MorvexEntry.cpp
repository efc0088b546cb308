// The plug-in's only exported symbols: the component entries a host finds
// through the bundle's Info.plist. The Cocoa view factory class is found by
// name instead, registered while the library is loaded as an Objective-C
// class would be.
#include "effect/MorvexIdentity.h"
#include "framework/au/IPlugAU.h"

#define MORVEX_EXPORT extern "C" __attribute__((visibility("default")))

MORVEX_EXPORT ComponentResult Morvex_Entry(ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUEntry(params, storage);
}

MORVEX_EXPORT ComponentResult Morvex_ViewEntry(ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}

namespace {

const char* MorvexViewDescription() {
  return kMorvexViewDescription;
}

const AUCocoaUIBase kMorvexView = {kMorvexViewClass, IPlugAU::CocoaViewInterfaceVersion,
                                   IPlugAU::CocoaViewForAudioUnit, MorvexViewDescription};

struct ViewClassRegistration {
  ViewClassRegistration() { AUCocoaUIRegisterClass(&kMorvexView); }
  ~ViewClassRegistration() { AUCocoaUIUnregisterClass(&kMorvexView); }
} gViewClassRegistration;

}  // namespace
