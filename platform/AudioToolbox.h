#pragma once

#include "platform/AudioUnit.h"
#include "platform/AudioUnitUtilities.h"
