#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFData* CFDataRef;

// All functions: [any thread]. The bytes are copied.
MORVEX_PLATFORM_API CFTypeID CFDataGetTypeID(void);
MORVEX_PLATFORM_API CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes,
                                           CFIndex length);
MORVEX_PLATFORM_API CFIndex CFDataGetLength(CFDataRef theData);
// Never null for a data object, even an empty one.
MORVEX_PLATFORM_API const UInt8* CFDataGetBytePtr(CFDataRef theData);

CF_EXTERN_C_END
