#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFArray* CFArrayRef;
typedef struct __CFArray* CFMutableArrayRef;

typedef const void* (*CFArrayRetainCallBack)(CFAllocatorRef allocator, const void* value);
typedef void (*CFArrayReleaseCallBack)(CFAllocatorRef allocator, const void* value);
typedef CFStringRef (*CFArrayCopyDescriptionCallBack)(const void* value);
typedef Boolean (*CFArrayEqualCallBack)(const void* value1, const void* value2);

typedef struct {
  CFIndex version;
  CFArrayRetainCallBack retain;
  CFArrayReleaseCallBack release;
  CFArrayCopyDescriptionCallBack copyDescription;
  CFArrayEqualCallBack equal;
} CFArrayCallBacks;

// Values are CF objects: retained, released, compared with CFEqual.
extern MORVEX_PLATFORM_API const CFArrayCallBacks kCFTypeArrayCallBacks;

// The callbacks record is copied; null callbacks (or a null record) mean the
// values are plain pointers compared by identity. The retain callback gets the
// array's allocator and its result is what the array stores; each value is
// released once when it leaves the array or the array is destroyed.
// [any thread], but an array is not synchronised: readers may share it, a
// writer needs it alone.
MORVEX_PLATFORM_API CFTypeID CFArrayGetTypeID(void);
MORVEX_PLATFORM_API CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values,
                                             CFIndex numValues, const CFArrayCallBacks* callBacks);
MORVEX_PLATFORM_API CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator,
                                                           CFIndex capacity,
                                                           const CFArrayCallBacks* callBacks);
MORVEX_PLATFORM_API CFIndex CFArrayGetCount(CFArrayRef theArray);
// Null for an index out of range.
MORVEX_PLATFORM_API const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);
MORVEX_PLATFORM_API void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value);
// Out-of-range indices are ignored.
MORVEX_PLATFORM_API void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx);
MORVEX_PLATFORM_API void CFArrayRemoveAllValues(CFMutableArrayRef theArray);
// Searches the part of the range that lies inside the array, using the equal
// callback; kCFNotFound when absent.
MORVEX_PLATFORM_API CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range,
                                                        const void* value);
MORVEX_PLATFORM_API Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range,
                                                 const void* value);

CF_EXTERN_C_END
