#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;

typedef const void* (*CFDictionaryRetainCallBack)(CFAllocatorRef allocator, const void* value);
typedef void (*CFDictionaryReleaseCallBack)(CFAllocatorRef allocator, const void* value);
typedef CFStringRef (*CFDictionaryCopyDescriptionCallBack)(const void* value);
typedef Boolean (*CFDictionaryEqualCallBack)(const void* value1, const void* value2);
typedef CFHashCode (*CFDictionaryHashCallBack)(const void* value);

typedef struct {
  CFIndex version;
  CFDictionaryRetainCallBack retain;
  CFDictionaryReleaseCallBack release;
  CFDictionaryCopyDescriptionCallBack copyDescription;
  CFDictionaryEqualCallBack equal;
  CFDictionaryHashCallBack hash;
} CFDictionaryKeyCallBacks;

typedef struct {
  CFIndex version;
  CFDictionaryRetainCallBack retain;
  CFDictionaryReleaseCallBack release;
  CFDictionaryCopyDescriptionCallBack copyDescription;
  CFDictionaryEqualCallBack equal;
} CFDictionaryValueCallBacks;

extern MORVEX_PLATFORM_API const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern MORVEX_PLATFORM_API const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;

// Callback records behave as for CFArray. [any thread], but a dictionary is
// not synchronised: readers may share it, a writer needs it alone.
MORVEX_PLATFORM_API CFTypeID CFDictionaryGetTypeID(void);
MORVEX_PLATFORM_API CFMutableDictionaryRef CFDictionaryCreateMutable(
    CFAllocatorRef allocator, CFIndex capacity, const CFDictionaryKeyCallBacks* keyCallBacks,
    const CFDictionaryValueCallBacks* valueCallBacks);
MORVEX_PLATFORM_API CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
MORVEX_PLATFORM_API const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key);
MORVEX_PLATFORM_API Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key,
                                                          const void** value);
MORVEX_PLATFORM_API Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key);
// Replaces the value of an existing key (the stored key stays) or adds a pair.
MORVEX_PLATFORM_API void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key,
                                              const void* value);
MORVEX_PLATFORM_API void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key);
// Fills the arrays (either may be null) in insertion order.
MORVEX_PLATFORM_API void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys,
                                                      const void** values);

CF_EXTERN_C_END
