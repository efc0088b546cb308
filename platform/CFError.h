#pragma once

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef struct __CFError* CFErrorRef;

// Property-list failures use the Cocoa domain with Apple's codes.
extern MORVEX_PLATFORM_API const CFStringRef kCFErrorDomainCocoa;
enum {
  kCFPropertyListReadCorruptError = 3840,
  kCFPropertyListReadUnknownVersionError = 3841,
  kCFPropertyListWriteStreamError = 3851,
  kCFPropertyListWriteInvalidError = 3852
};

// [any thread]
MORVEX_PLATFORM_API CFTypeID CFErrorGetTypeID(void);
MORVEX_PLATFORM_API CFIndex CFErrorGetCode(CFErrorRef err);
MORVEX_PLATFORM_API CFStringRef CFErrorGetDomain(CFErrorRef err);
MORVEX_PLATFORM_API CFStringRef CFErrorCopyDescription(CFErrorRef err);

CF_EXTERN_C_END
