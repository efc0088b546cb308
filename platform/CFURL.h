#pragma once

#include "platform/CFString.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFURL* CFURLRef;

typedef CFIndex CFURLPathStyle;
enum { kCFURLPOSIXPathStyle = 0 };

// File URLs only. All functions: [any thread].
MORVEX_PLATFORM_API CFTypeID CFURLGetTypeID(void);
MORVEX_PLATFORM_API CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator,
                                                           CFStringRef filePath,
                                                           CFURLPathStyle pathStyle,
                                                           Boolean isDirectory);
MORVEX_PLATFORM_API CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef allocator,
                                                                     const UInt8* buffer,
                                                                     CFIndex bufLen,
                                                                     Boolean isDirectory);
// The path as NUL-terminated UTF-8; false when it does not fit in maxBufLen.
MORVEX_PLATFORM_API Boolean CFURLGetFileSystemRepresentation(CFURLRef url,
                                                             Boolean resolveAgainstBase,
                                                             UInt8* buffer, CFIndex maxBufLen);
// The path without a trailing "/" (except for the root).
MORVEX_PLATFORM_API CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle);

CF_EXTERN_C_END
