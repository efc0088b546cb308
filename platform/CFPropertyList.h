#pragma once

#include "platform/CFData.h"
#include "platform/CFError.h"

CF_EXTERN_C_BEGIN

typedef CFIndex CFPropertyListFormat;
enum {
  kCFPropertyListOpenStepFormat = 1,
  kCFPropertyListXMLFormat_v1_0 = 100,
  kCFPropertyListBinaryFormat_v1_0 = 200
};

typedef CFOptionFlags CFPropertyListMutabilityOptions;
enum {
  kCFPropertyListImmutable = 0,
  kCFPropertyListMutableContainers = 1,
  kCFPropertyListMutableContainersAndLeaves = 2
};

// XML property lists, the form Audio Unit hosts keep .aupreset files in.
// Strings, numbers, booleans, data, arrays and dictionaries with string keys
// are written; dictionary keys come out sorted, so equal lists give equal
// bytes. Anything else (another format, another type, a string holding NUL,
// nesting deeper than 512 levels) gives null and, when asked for, an error.
// Containers read back are always mutable. All functions: [any thread].
MORVEX_PLATFORM_API CFDataRef CFPropertyListCreateData(CFAllocatorRef allocator,
                                                       CFPropertyListRef propertyList,
                                                       CFPropertyListFormat format,
                                                       CFOptionFlags options, CFErrorRef* error);
MORVEX_PLATFORM_API CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef allocator,
                                                                   CFDataRef data,
                                                                   CFOptionFlags options,
                                                                   CFPropertyListFormat* format,
                                                                   CFErrorRef* error);

CF_EXTERN_C_END
