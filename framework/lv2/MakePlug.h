#pragma once

#include "framework/plugin/IPlugInstanceInfo.h"

class IPlugLV2;

// The plug-in's factory, defined by the effect that links this wrapper: a
// new plug-in object the caller owns. The wrapper fills in what it knows of
// the instance (whether it shows an editor, the bundle's folder); the effect
// adds its own identity. Serialises construction across instances.
// [UI thread]
IPlugLV2* MakePlug(IPlugInstanceInfo info);
