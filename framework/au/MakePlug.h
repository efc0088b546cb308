#pragma once

#include "framework/au/RunLoopEventLoop.h"
#include "framework/plugin/IPlugInstanceInfo.h"

class IPlugAU;

// An instance as the component entry makes it: its editor's timers and
// display connection join the platform's run loop, as its hosts expect.
inline IPlugInstanceInfo AUInstanceInfo() {
  IPlugInstanceInfo info;
  info.mEventLoop = &PlatformRunLoop();
  return info;
}

// The plug-in's factory, defined by the effect that links this wrapper: a new
// plug-in object that the component entry owns from then on. The effect adds
// its own identity to info. Serialises construction across instances.
// [UI thread]
IPlugAU* MakePlug(IPlugInstanceInfo info = AUInstanceInfo());
