#pragma once

#include <stdarg.h>

#include "platform/CFBase.h"

CF_EXTERN_C_BEGIN

typedef const struct __CFDictionary* CFDictionaryRef;

typedef UInt32 CFStringEncoding;
enum {
  kCFStringEncodingMacRoman = 0,
  kCFStringEncodingISOLatin1 = 0x0201,
  kCFStringEncodingASCII = 0x0600,
  kCFStringEncodingUnicode = 0x0100,
  kCFStringEncodingUTF16 = 0x0100,
  kCFStringEncodingUTF8 = 0x08000100
};

typedef CFOptionFlags CFStringCompareFlags;
enum {
  kCFCompareCaseInsensitive = 1,
  kCFCompareBackwards = 4,
  kCFCompareAnchored = 8,
  kCFCompareNonliteral = 16,
  kCFCompareLocalized = 32,
  kCFCompareNumerically = 64
};

// Strings are immutable and hold UTF-8. Accepted encodings: UTF-8, ASCII
// and ISO Latin 1; MacRoman only for its ASCII half. Bytes that are not valid
// in the encoding make the Create calls return null. Lengths count UTF-16
// units, as on the Mac. All functions: [any thread].
MORVEX_PLATFORM_API CFTypeID CFStringGetTypeID(void);
MORVEX_PLATFORM_API CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                                          CFStringEncoding encoding);
MORVEX_PLATFORM_API CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes,
                                                        CFIndex numBytes, CFStringEncoding encoding,
                                                        Boolean isExternalRepresentation);
// An immutable string is its own copy: this retains it.
MORVEX_PLATFORM_API CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString);
// False (and an empty buffer when bufferSize > 0) when the text and its NUL do
// not fit or cannot be expressed in the encoding.
MORVEX_PLATFORM_API Boolean CFStringGetCString(CFStringRef theString, char* buffer,
                                               CFIndex bufferSize, CFStringEncoding encoding);
MORVEX_PLATFORM_API const char* CFStringGetCStringPtr(CFStringRef theString,
                                                      CFStringEncoding encoding);
MORVEX_PLATFORM_API CFIndex CFStringGetLength(CFStringRef theString);
MORVEX_PLATFORM_API CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length,
                                                              CFStringEncoding encoding);
// Compares code points; kCFCompareCaseInsensitive folds ASCII letters, the
// other flags are accepted and ignored.
MORVEX_PLATFORM_API CFComparisonResult CFStringCompare(CFStringRef theString1,
                                                       CFStringRef theString2,
                                                       CFStringCompareFlags compareOptions);
// printf conversions (flags, width, precision, the h/hh/l/ll/z/j/L lengths)
// plus %@, which inserts CFCopyDescription of a CF object ("(null)" for null).
// A width or precision above 4096 makes the result null.
MORVEX_PLATFORM_API CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc,
                                                         CFDictionaryRef formatOptions,
                                                         CFStringRef format, ...);
MORVEX_PLATFORM_API CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef alloc,
                                                                     CFDictionaryRef formatOptions,
                                                                     CFStringRef format,
                                                                     va_list arguments);

// CFSTR("text"): a process-wide constant string that retain and release leave
// alone. The same text always gives the same object.
MORVEX_PLATFORM_API CFStringRef __CFStringMakeConstantString(const char* cStr);
#define CFSTR(cStr) __CFStringMakeConstantString("" cStr "")

CF_EXTERN_C_END
