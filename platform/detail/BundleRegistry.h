#pragma once

#include <string>

#include "platform/CFBundle.h"

namespace platform_detail {

// A new bundle for a component folder, findable by its identifier until the
// next RetireComponentBundles; it stays valid for the life of the process.
CFBundleRef RegisterComponentBundle(const std::string& path, CFDictionaryRef info);
// Component bundles from an earlier search are no longer found by identifier.
void RetireComponentBundles();
// Marks the bundle whose library is loaded (or being loaded, since a
// library's constructors may look for their bundle), which is then the one
// found by its identifier before any copy of it elsewhere.
void MarkBundleLoaded(CFBundleRef bundle, bool loaded);
// The bundle's folder.
std::string BundlePath(CFBundleRef bundle);
// Reads and parses a property-list file; null when missing or unreadable.
CFPropertyListRef ReadPropertyListFile(const std::string& path);

}  // namespace platform_detail
