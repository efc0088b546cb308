#pragma once

#include "platform/AudioToolbox.h"
#include "tools/morvex/validate/CheckReport.h"

// The checks every validation runs on the component: opening, identity,
// properties, parameters, presets, state, layouts, rendering at 22.05 to
// 192 kHz, silence, bypass, reset and the answers to bad calls. quick
// renders at fewer rates and block sizes.
void RunAuBasicChecks(CheckReport& report, Component component, bool quick);
