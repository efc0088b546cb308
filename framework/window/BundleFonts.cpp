#include "framework/window/BundleFonts.h"

#include <string>

#include "framework/window/gdi/Fonts.h"
#include "platform/CFBundle.h"
#include "platform/CFString.h"
#include "platform/CFURL.h"

namespace {
constexpr size_t kBundlePathBytes = 1536;
}  // namespace

int AddFolderFonts(const char* folder) {
  if (!folder || !folder[0]) return 0;
  return AddFontResourceEx((std::string(folder) + "/fonts").c_str(), FR_PRIVATE, nullptr);
}

int AddBundleFonts(const char* bundleID) {
  CFBundleRef bundle = CFBundleGetMainBundle();
  if (bundleID && bundleID[0]) {
    CFStringRef id = CFStringCreateWithCString(nullptr, bundleID, kCFStringEncodingUTF8);
    bundle = id ? CFBundleGetBundleWithIdentifier(id) : nullptr;
    if (id) CFRelease(id);
  }
  CFURLRef url = bundle ? CFBundleCopyResourcesDirectoryURL(bundle) : nullptr;
  if (!url) return 0;
  UInt8 path[kBundlePathBytes];
  const bool found = CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
  CFRelease(url);
  return found ? AddFolderFonts(reinterpret_cast<const char*>(path)) : 0;
}
