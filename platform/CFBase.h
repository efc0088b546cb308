#pragma once

#include "platform/MacTypes.h"
#include "platform/PlatformExport.h"

CF_EXTERN_C_BEGIN

typedef const void* CFTypeRef;
typedef unsigned long CFTypeID;
typedef unsigned long CFOptionFlags;
typedef unsigned long CFHashCode;
typedef signed long CFIndex;

typedef const struct __CFString* CFStringRef;
typedef struct __CFString* CFMutableStringRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef CFTypeRef CFPropertyListRef;

typedef struct {
  CFIndex location;
  CFIndex length;
} CFRange;

static inline CFRange CFRangeMake(CFIndex location, CFIndex length) {
  CFRange range = {location, length};
  return range;
}

typedef CFIndex CFComparisonResult;
enum { kCFCompareLessThan = -1, kCFCompareEqualTo = 0, kCFCompareGreaterThan = 1 };
enum { kCFNotFound = -1 };

// kCFAllocatorDefault is null, as on the Mac; all allocators but
// kCFAllocatorNull hand out malloc'ed memory. CF objects themselves are
// allocated by the library whatever allocator a Create call names.
extern MORVEX_PLATFORM_API const CFAllocatorRef kCFAllocatorDefault;
extern MORVEX_PLATFORM_API const CFAllocatorRef kCFAllocatorSystemDefault;
extern MORVEX_PLATFORM_API const CFAllocatorRef kCFAllocatorMalloc;
extern MORVEX_PLATFORM_API const CFAllocatorRef kCFAllocatorNull;

// [any thread]
MORVEX_PLATFORM_API CFTypeID CFAllocatorGetTypeID(void);
// [any thread]
MORVEX_PLATFORM_API CFAllocatorRef CFAllocatorGetDefault(void);
// [any thread] Null for a size of 0 or less and for kCFAllocatorNull.
MORVEX_PLATFORM_API void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size,
                                              CFOptionFlags hint);
// [any thread]
MORVEX_PLATFORM_API void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr);

// Reference counting is atomic: [any thread]. A null or non-CF argument is
// refused (null, 0 or false) instead of crashing.
MORVEX_PLATFORM_API CFTypeRef CFRetain(CFTypeRef cf);
MORVEX_PLATFORM_API void CFRelease(CFTypeRef cf);
MORVEX_PLATFORM_API CFIndex CFGetRetainCount(CFTypeRef cf);
MORVEX_PLATFORM_API CFTypeID CFGetTypeID(CFTypeRef cf);
MORVEX_PLATFORM_API Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
MORVEX_PLATFORM_API CFHashCode CFHash(CFTypeRef cf);
// [any thread] A new string; strings describe themselves by their text and
// numbers by their value, so "%@" formats them as a user expects.
MORVEX_PLATFORM_API CFStringRef CFCopyDescription(CFTypeRef cf);

CF_EXTERN_C_END
