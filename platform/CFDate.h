#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef double CFTimeInterval;
// Seconds since 1 January 2001, 00:00 UTC.
typedef CFTimeInterval CFAbsoluteTime;

// [any thread]
MORVEX_PLATFORM_API CFAbsoluteTime CFAbsoluteTimeGetCurrent(void);

CF_EXTERN_C_END
