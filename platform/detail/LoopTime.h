#pragma once

#include "platform/CFDate.h"

namespace platform_detail {

// Run loops keep time on the monotonic clock, so that a wall clock set back
// or forward (by the user, by a time server, after a sleep) neither stalls
// their timers nor ends their runs early. Fire dates cross the API as
// absolute times and are converted at the moment they cross, against the
// wall clock of that moment.
using LoopTime = double;  // seconds on the monotonic clock

LoopTime LoopTimeNow();
LoopTime LoopTimeOf(CFAbsoluteTime date);
CFAbsoluteTime AbsoluteTimeOf(LoopTime time);

}  // namespace platform_detail
