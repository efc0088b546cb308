#pragma once

#include "platform/CFDictionary.h"
#include "platform/CFURL.h"

CF_EXTERN_C_BEGIN

typedef struct __CFBundle* CFBundleRef;

// Bundles live as long as the process: the Get functions hand out references
// that stay valid. All functions: [any thread].
MORVEX_PLATFORM_API CFTypeID CFBundleGetTypeID(void);
// See platform/HostBundle.h for how the main bundle is chosen.
MORVEX_PLATFORM_API CFBundleRef CFBundleGetMainBundle(void);
// The main bundle or any component bundle the Component Manager has found.
MORVEX_PLATFORM_API CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
MORVEX_PLATFORM_API CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
MORVEX_PLATFORM_API CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
MORVEX_PLATFORM_API CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle,
                                                                   CFStringRef key);
MORVEX_PLATFORM_API CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
// Contents/MacOS/<CFBundleExecutable>; null without that key.
MORVEX_PLATFORM_API CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
MORVEX_PLATFORM_API CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// Contents/Resources/[subDirName/]resourceName[.resourceType] when that file
// exists, else null.
MORVEX_PLATFORM_API CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                                     CFStringRef resourceType,
                                                     CFStringRef subDirName);

CF_EXTERN_C_END
