#include "framework/window/BundleImages.h"

#include <strings.h>
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

LICE_IBitmap* LoadBundleImage(const char* fileName) {
  if (!fileName) return nullptr;
  const char* slash = std::strrchr(fileName, '/');
  const char* base = slash ? slash + 1 : fileName;
  const char* dot = std::strrchr(base, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  const size_t baseLength = static_cast<size_t>(dot - base);
  if (baseLength == 0 || baseLength > kMaxResourceName - 4) return nullptr;
  char resource[kMaxResourceName + 1];
  std::snprintf(resource, sizeof resource, "%.*s.png", static_cast<int>(baseLength), base);
  return LICE_LoadPNGFromNamedResource(resource);
}
