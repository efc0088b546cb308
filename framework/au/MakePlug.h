#pragma once

#include "framework/plugin/IPlugInstanceInfo.h"

class IPlugAU;

// The plug-in's factory, defined by the effect that links this wrapper: a new
// plug-in object that the component entry owns from then on. The effect adds
// its own identity to info. Serialises construction across instances.
// [UI thread]
IPlugAU* MakePlug(IPlugInstanceInfo info = IPlugInstanceInfo());
