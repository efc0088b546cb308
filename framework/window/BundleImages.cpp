#include "framework/window/BundleImages.h"

#include <strings.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/CFBundle.h"
#include "platform/CFString.h"
#include "platform/CFURL.h"
#include "raster/LICE_PNGBitmap.h"
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

LICE_IBitmap* BundleImages::Load(const char* fileName) const {
  if (!fileName) return nullptr;
  const char* slash = std::strrchr(fileName, '/');
  const char* base = slash ? slash + 1 : fileName;
  const char* dot = std::strrchr(base, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0 || dot == base) return nullptr;
  const std::string baseName(base, static_cast<size_t>(dot - base));
  if (mFolder.Get()[0])
    return LICE_PNGBitmap::Open((std::string(mFolder.Get()) + "/" + baseName + ".png").c_str());

  CFBundleRef bundle = CFBundleGetMainBundle();
  if (mBundleID.Get()[0]) {
    CFStringRef id = CFStringCreateWithCString(nullptr, mBundleID.Get(), kCFStringEncodingUTF8);
    bundle = id ? CFBundleGetBundleWithIdentifier(id) : nullptr;
    if (id) CFRelease(id);
  }
  if (!bundle) return nullptr;
  CFStringRef name = CFStringCreateWithCString(nullptr, baseName.c_str(), kCFStringEncodingUTF8);
  CFURLRef url = name ? CFBundleCopyResourceURL(bundle, name, CFSTR("png"), nullptr) : nullptr;
  if (name) CFRelease(name);
  if (!url) return nullptr;
  UInt8 path[kBundlePathBytes + kMaxResourceName];
  const bool found = CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
  CFRelease(url);
  return found ? LICE_PNGBitmap::Open(reinterpret_cast<const char*>(path)) : nullptr;
}
