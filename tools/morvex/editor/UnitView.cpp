#include "tools/morvex/editor/UnitView.h"

#include "platform/AUCocoaUIView.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"

void* OpenView(Unit& unit, bool* offered) {
  AudioUnitCocoaViewInfo info{};
  UInt32 size = sizeof info;
  const OSStatus status = AudioUnitGetProperty(unit.au(), kAudioUnitProperty_CocoaUI,
                                               kAudioUnitScope_Global, 0, &info, &size);
  if (offered) *offered = status == noErr;
  if (status == kAudioUnitErr_InvalidProperty) return nullptr;
  unit.check(status, "the editor's view");
  CFRef<CFURLRef> location(info.mCocoaAUViewBundleLocation);
  CFRef<CFStringRef> className(info.mCocoaAUViewClass[0]);
  const AUCocoaUIBase* viewClass = AUCocoaUIClassNamed(className.get());
  if (!viewClass) throw ToolError("Morvex's view factory class is not registered");
  return viewClass->uiViewForAudioUnit(unit.au(), NSSize{0, 0});
}
