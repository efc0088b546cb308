#pragma once

// The plain records that cross between the plug-in base, its wrappers and
// the effect.
#include "framework/plugin/ByteChunk.h"
#include "framework/plugin/IMidiMsg.h"
#include "framework/plugin/IPlugInstanceInfo.h"
#include "framework/plugin/IPreset.h"
#include "framework/plugin/ISysEx.h"
#include "framework/plugin/ITimeInfo.h"
