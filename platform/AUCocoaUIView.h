#pragma once

#include "platform/AUComponent.h"
#include "platform/CFString.h"
#include "platform/NSGeometry.h"

CF_EXTERN_C_BEGIN

// The Cocoa view factory protocol (AUCocoaUIBase). Without an Objective-C
// runtime a view factory class is a record of functions registered by
// name; a host finds it under the name the CocoaUI property reports, as
// it would find the class, and asks it for a view.

typedef struct AUCocoaUIBase {
  // The class name, e.g. "Morvex_View"; the registry keeps the pointer.
  const char* className;
  UInt32 (*interfaceVersion)(void);
  // The editor's view for the unit (on this platform an X window id), or
  // null when the unit has none or is not the factory's own. The preferred
  // size may be ignored. [UI thread]
  void* (*uiViewForAudioUnit)(AudioUnit inAudioUnit, NSSize inPreferredSize);
  const char* (*description)(void);
} AUCocoaUIBase;

// [any thread] Makes the class findable by its name. False, registering
// nothing, for a null or nameless class or a name another class holds
// (class names carry the plug-in's name so that they do not clash).
MORVEX_PLATFORM_API Boolean AUCocoaUIRegisterClass(const AUCocoaUIBase* viewClass);
// [any thread] Forgets the class, when it is the one registered.
MORVEX_PLATFORM_API void AUCocoaUIUnregisterClass(const AUCocoaUIBase* viewClass);
// [any thread] The class registered under the name, or null.
MORVEX_PLATFORM_API const AUCocoaUIBase* AUCocoaUIClassNamed(CFStringRef className);

CF_EXTERN_C_END
