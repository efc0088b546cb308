#pragma once

#include "platform/CFBase.h"
#include "platform/CFRunLoop.h"

CF_EXTERN_C_BEGIN

// A file descriptor watched by a run loop. Callbacks are one-shot: once
// one has fired it stays off until CFFileDescriptorEnableCallBacks turns
// it on again. Used from the thread whose loop watches it.
typedef int CFFileDescriptorNativeDescriptor;
typedef struct __CFFileDescriptor* CFFileDescriptorRef;

enum { kCFFileDescriptorReadCallBack = 1UL << 0, kCFFileDescriptorWriteCallBack = 1UL << 1 };

typedef void (*CFFileDescriptorCallBack)(CFFileDescriptorRef f, CFOptionFlags callBackTypes,
                                         void* info);
typedef struct {
  CFIndex version;
  void* info;
  void* (*retain)(void* info);
  void (*release)(void* info);
  CFStringRef (*copyDescription)(void* info);
} CFFileDescriptorContext;

MORVEX_PLATFORM_API CFTypeID CFFileDescriptorGetTypeID(void);
// Null for a negative descriptor. With closeOnInvalidate the descriptor is
// closed when the object is invalidated or destroyed.
MORVEX_PLATFORM_API CFFileDescriptorRef CFFileDescriptorCreate(
    CFAllocatorRef allocator, CFFileDescriptorNativeDescriptor fd, Boolean closeOnInvalidate,
    CFFileDescriptorCallBack callout, const CFFileDescriptorContext* context);
MORVEX_PLATFORM_API CFFileDescriptorNativeDescriptor
CFFileDescriptorGetNativeDescriptor(CFFileDescriptorRef f);
MORVEX_PLATFORM_API void CFFileDescriptorEnableCallBacks(CFFileDescriptorRef f,
                                                         CFOptionFlags callBackTypes);
MORVEX_PLATFORM_API void CFFileDescriptorDisableCallBacks(CFFileDescriptorRef f,
                                                          CFOptionFlags callBackTypes);
// Removes its source from the run loop; the callback is not called again.
MORVEX_PLATFORM_API void CFFileDescriptorInvalidate(CFFileDescriptorRef f);
MORVEX_PLATFORM_API Boolean CFFileDescriptorIsValid(CFFileDescriptorRef f);
// The descriptor's one source (made on the first call), retained for the
// caller; null for an invalid descriptor.
MORVEX_PLATFORM_API CFRunLoopSourceRef CFFileDescriptorCreateRunLoopSource(CFAllocatorRef allocator,
                                                                           CFFileDescriptorRef f,
                                                                           CFIndex order);

CF_EXTERN_C_END
