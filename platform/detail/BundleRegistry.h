#pragma once

#include <string>

#include "platform/CFBundle.h"

namespace platform_detail {

// A new bundle for a component folder, findable by its identifier until the
// next RetireComponentBundles; it stays valid for the life of the process.
CFBundleRef RegisterComponentBundle(const std::string& path, CFDictionaryRef info);
// Component bundles from an earlier search are no longer found by identifier.
void RetireComponentBundles();
// The bundle's folder.
std::string BundlePath(CFBundleRef bundle);
// Reads and parses a property-list file; null when missing or unreadable.
CFPropertyListRef ReadPropertyListFile(const std::string& path);

}  // namespace platform_detail
