#pragma once

// The host wrapper this build of the effect derives from: the Audio Unit
// one, or the LV2 one where the build defines MORVEX_LV2. The effect's code
// is the same for both; each build links only its own wrapper.
#ifdef MORVEX_LV2
#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/MakePlug.h"
using IPlug = IPlugLV2;
#else
#include "framework/au/IPlugAU.h"
#include "framework/au/MakePlug.h"
using IPlug = IPlugAU;
#endif
