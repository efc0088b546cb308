#pragma once

#include "platform/CFBundle.h"

// How CFBundleGetMainBundle chooses the main bundle, first match wins:
// 1. what the host last set with HostSetMainBundle;
// 2. when the executable sits in X.app/Contents/MacOS/ and
//    X.app/Contents/Info.plist can be read: the bundle X.app with that
//    Info.plist (its CFBundleIdentifier is the identifier);
// 3. otherwise a bundle without Info.plist and without identifier whose URL
//    is the executable's folder (so CFBundleGetIdentifier returns null, as for
//    a bare tool on the Mac).

CF_EXTERN_C_BEGIN

// [any thread] bundlePath null: the executable's folder. identifier null:
// the CFBundleIdentifier of bundlePath/Contents/Info.plist, if any. Main
// bundles handed out earlier stay valid.
MORVEX_PLATFORM_API void HostSetMainBundle(const char* bundlePath, const char* identifier);

CF_EXTERN_C_END
