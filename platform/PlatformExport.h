#pragma once

// The platform library is the only shared library of ours that hosts and
// plug-ins both link: its API (and nothing else) has default visibility, and
// every function has C linkage so that the names read as on the Mac.
#define MORVEX_PLATFORM_API __attribute__((visibility("default")))

#ifdef __cplusplus
#define CF_EXTERN_C_BEGIN extern "C" {
#define CF_EXTERN_C_END }
#else
#define CF_EXTERN_C_BEGIN
#define CF_EXTERN_C_END
#endif
