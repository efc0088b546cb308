#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFNumber* CFNumberRef;
typedef const struct __CFBoolean* CFBooleanRef;

typedef CFIndex CFNumberType;
enum {
  kCFNumberSInt8Type = 1,
  kCFNumberSInt16Type = 2,
  kCFNumberSInt32Type = 3,
  kCFNumberSInt64Type = 4,
  kCFNumberFloat32Type = 5,
  kCFNumberFloat64Type = 6,
  kCFNumberCharType = 7,
  kCFNumberShortType = 8,
  kCFNumberIntType = 9,
  kCFNumberLongType = 10,
  kCFNumberLongLongType = 11,
  kCFNumberFloatType = 12,
  kCFNumberDoubleType = 13,
  kCFNumberCFIndexType = 14,
  kCFNumberNSIntegerType = 15,
  kCFNumberCGFloatType = 16,
  kCFNumberMaxType = 16
};

// All functions: [any thread].
MORVEX_PLATFORM_API CFTypeID CFNumberGetTypeID(void);
// Null for an unknown type or a null value pointer.
MORVEX_PLATFORM_API CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType theType,
                                               const void* valuePtr);
// Integers report kCFNumberSInt32Type when made from 32 bits or fewer, else
// kCFNumberSInt64Type; reals report the width they were made with.
MORVEX_PLATFORM_API CFNumberType CFNumberGetType(CFNumberRef number);
MORVEX_PLATFORM_API Boolean CFNumberIsFloatType(CFNumberRef number);
// Writes the value converted to theType and returns true when the conversion
// was exact. A lossy conversion still writes: reals are truncated toward zero,
// values out of range are clamped to the type's limits and NaN becomes 0.
MORVEX_PLATFORM_API Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType,
                                             void* valuePtr);

extern MORVEX_PLATFORM_API const CFBooleanRef kCFBooleanTrue;
extern MORVEX_PLATFORM_API const CFBooleanRef kCFBooleanFalse;
MORVEX_PLATFORM_API CFTypeID CFBooleanGetTypeID(void);
MORVEX_PLATFORM_API Boolean CFBooleanGetValue(CFBooleanRef boolean);

CF_EXTERN_C_END
