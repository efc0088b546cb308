#include "framework/window/BundleImages.h"

#include <cstdio>
#include <cstring>

#include "platform/CFBundle.h"
#include "raster/lice_png.h"

namespace {
constexpr size_t kMaxResourceName = 400;
constexpr size_t kBundlePathBytes = 1536;
}  // namespace

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bitmap) {
  if (!name || strnlen(name, kMaxResourceName + 1) > kMaxResourceName) return nullptr;
  CFBundleRef bundle = CFBundleGetMainBundle();
  CFURLRef url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  if (!url) return nullptr;
  UInt8 bundlePath[kBundlePathBytes];
  const bool found = CFURLGetFileSystemRepresentation(url, true, bundlePath, sizeof bundlePath);
  CFRelease(url);
  if (!found) return nullptr;
  char path[kBundlePathBytes + kMaxResourceName + 32];
  std::snprintf(path, sizeof path, "%s/Contents/Resources/%s",
                reinterpret_cast<const char*>(bundlePath), name);
  return LICE_LoadPNG(path, bitmap);
}
