#pragma once

// Everything a plug-in's Audio Unit code needs, as the Mac's umbrella header.
#include "platform/AUComponent.h"
#include "platform/AudioUnitCarbonView.h"
#include "platform/AudioUnitProperties.h"
#include "platform/MusicDevice.h"
