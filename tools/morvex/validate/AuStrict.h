#pragma once

#include "platform/AudioToolbox.h"
#include "tools/morvex/validate/CheckReport.h"
#include "tools/morvex/validate/StrictChecks.h"

// The strict level on the Audio Unit: the shared checks, rendered through
// the fast-dispatch render function as real-time hosts render; then the
// editor open and drawing on its own thread meanwhile, and, for information,
// what a render through the component entry calls.
void RunAuStrictChecks(CheckReport& report, Component component, const StrictLevel& level);
