#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "framework/base/RegularFile.h"
#include "platform/CFBundle.h"
#include "platform/CFPropertyList.h"
#include "platform/HostBundle.h"
#include "platform/detail/BundleRegistry.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/ComponentScan.h"

namespace platform_detail {
namespace {

class BundleObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kBundleTypeID;
  BundleObject(std::string path, CFDictionaryRef info, CFStringRef identifier)
      : CFObject(ClassOf<BundleObject>(), true),
        mPath(std::move(path)),
        mInfo(info),
        mIdentifier(identifier) {}

  std::string Describe() const { return "CFBundle <" + mPath + ">"; }

  const std::string mPath;
  const CFDictionaryRef mInfo;        // owned, may be null
  const CFStringRef mIdentifier;      // owned, may be null
  std::atomic<bool> mRetired{false};  // component bundle of an earlier search
  std::atomic<bool> mLoaded{false};   // its library is loaded, or loading
};

struct Bundles {
  std::mutex mutex;
  BundleObject* main = nullptr;
  // Every bundle ever made: bundles are immortal, earlier main bundles
  // included, since callers may still hold them.
  std::vector<BundleObject*> mains;
  std::vector<BundleObject*> components;
};

Bundles& TheBundles() {
  static Bundles& bundles = *new Bundles;
  return bundles;
}

CFBundleRef Wrap(BundleObject* bundle) {
  return reinterpret_cast<CFBundleRef>(static_cast<CFObject*>(bundle));
}

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "/";
  const std::string exe(path, static_cast<size_t>(length));
  const size_t slash = exe.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : exe.substr(0, slash);
}

CFURLRef NewFileURL(const std::string& path, bool isDirectory) {
  return CFURLCreateFromFileSystemRepresentation(nullptr,
                                                 reinterpret_cast<const UInt8*>(path.data()),
                                                 static_cast<CFIndex>(path.size()), isDirectory);
}

CFDictionaryRef ReadInfo(const std::string& bundlePath) {
  CFPropertyListRef info = ReadPropertyListFile(bundlePath + "/Contents/Info.plist");
  if (CFGetTypeID(info) == CFDictionaryGetTypeID()) return static_cast<CFDictionaryRef>(info);
  if (info) CFRelease(info);
  return nullptr;
}

CFStringRef CopyIdentifier(CFDictionaryRef info) {
  CFTypeRef identifier = CFDictionaryGetValue(info, CFSTR("CFBundleIdentifier"));
  if (CFGetTypeID(identifier) != CFStringGetTypeID()) return nullptr;
  return static_cast<CFStringRef>(CFRetain(identifier));
}

BundleObject* NewBundle(const std::string& path, CFDictionaryRef info, CFStringRef identifier) {
  return new BundleObject(path, info, identifier);
}

// The rule documented in platform/HostBundle.h, steps 2 and 3.
BundleObject* FindMainBundle() {
  const std::string folder = ExecutableFolder();
  const std::string suffix = ".app/Contents/MacOS";
  if (folder.size() > suffix.size() &&
      folder.compare(folder.size() - suffix.size(), suffix.size(), suffix) == 0) {
    const std::string app = folder.substr(0, folder.size() - std::string("/Contents/MacOS").size());
    if (CFDictionaryRef info = ReadInfo(app)) return NewBundle(app, info, CopyIdentifier(info));
  }
  return NewBundle(folder, nullptr, nullptr);
}

}  // namespace

CFBundleRef RegisterComponentBundle(const std::string& path, CFDictionaryRef info) {
  Bundles& bundles = TheBundles();
  if (info) CFRetain(info);
  BundleObject* bundle = NewBundle(path, info, CopyIdentifier(info));
  std::lock_guard<std::mutex> lock(bundles.mutex);
  bundles.components.push_back(bundle);
  return Wrap(bundle);
}

void RetireComponentBundles() {
  Bundles& bundles = TheBundles();
  std::lock_guard<std::mutex> lock(bundles.mutex);
  for (BundleObject* bundle : bundles.components)
    bundle->mRetired = true;
}

void MarkBundleLoaded(CFBundleRef bundle, bool loaded) {
  if (auto* object = const_cast<BundleObject*>(As<BundleObject>(bundle))) object->mLoaded = loaded;
}

std::string BundlePath(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  return object ? object->mPath : std::string();
}

CFPropertyListRef ReadPropertyListFile(const std::string& path) {
  FILE* file = OpenRegularFile(path.c_str());
  if (!file) return nullptr;
  std::vector<UInt8> bytes;
  UInt8 block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes.insert(bytes.end(), block, block + got);
  }
  std::fclose(file);
  CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  CFPropertyListRef list = CFPropertyListCreateWithData(nullptr, data, 0, nullptr, nullptr);
  CFRelease(data);
  return list;
}

}  // namespace platform_detail

using platform_detail::As;
using platform_detail::BundleObject;

CFTypeID CFBundleGetTypeID(void) {
  return platform_detail::kBundleTypeID;
}

CFBundleRef CFBundleGetMainBundle(void) {
  auto& bundles = platform_detail::TheBundles();
  std::lock_guard<std::mutex> lock(bundles.mutex);
  if (!bundles.main) {
    bundles.main = platform_detail::FindMainBundle();
    bundles.mains.push_back(bundles.main);
  }
  return platform_detail::Wrap(bundles.main);
}

void HostSetMainBundle(const char* bundlePath, const char* identifier) {
  const std::string path = bundlePath ? bundlePath : platform_detail::ExecutableFolder();
  CFDictionaryRef info = platform_detail::ReadInfo(path);
  CFStringRef id =
      identifier ? platform_detail::NewString(identifier) : platform_detail::CopyIdentifier(info);
  BundleObject* bundle = platform_detail::NewBundle(path, info, id);
  auto& bundles = platform_detail::TheBundles();
  std::lock_guard<std::mutex> lock(bundles.mutex);
  bundles.main = bundle;
  bundles.mains.push_back(bundle);
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
  if (CFGetTypeID(bundleID) != CFStringGetTypeID()) return nullptr;
  CFBundleRef main = CFBundleGetMainBundle();
  if (CFEqual(CFBundleGetIdentifier(main), bundleID)) return main;
  platform_detail::EnsureComponentsScanned();
  auto& bundles = platform_detail::TheBundles();
  std::lock_guard<std::mutex> lock(bundles.mutex);
  // Of several copies of a bundle, a plug-in asking for its own resources
  // means the copy whose library runs it, whichever search found it.
  for (auto it = bundles.components.rbegin(); it != bundles.components.rend(); ++it) {
    if ((*it)->mLoaded && CFEqual((*it)->mIdentifier, bundleID)) return platform_detail::Wrap(*it);
  }
  for (auto it = bundles.components.rbegin(); it != bundles.components.rend(); ++it) {
    if (!(*it)->mRetired && CFEqual((*it)->mIdentifier, bundleID)) {
      return platform_detail::Wrap(*it);
    }
  }
  return nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  return object ? object->mIdentifier : nullptr;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  return object ? object->mInfo : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
  return CFDictionaryGetValue(CFBundleGetInfoDictionary(bundle), key);
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  if (!object) return nullptr;
  const std::string& path = object->mPath;
  return platform_detail::NewFileURL(path, true);
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  if (!object) return nullptr;
  CFTypeRef name = CFDictionaryGetValue(object->mInfo, CFSTR("CFBundleExecutable"));
  if (CFGetTypeID(name) != CFStringGetTypeID()) return nullptr;
  const std::string path = object->mPath + "/Contents/MacOS/" + platform_detail::StringValue(name);
  return platform_detail::NewFileURL(path, false);
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
  const auto* object = As<BundleObject>(bundle);
  if (!object) return nullptr;
  const std::string path = object->mPath + "/Contents/Resources";
  return platform_detail::NewFileURL(path, true);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName) {
  const auto* object = As<BundleObject>(bundle);
  if (!object || CFGetTypeID(resourceName) != CFStringGetTypeID()) return nullptr;
  std::string path = object->mPath + "/Contents/Resources/";
  if (subDirName) path += platform_detail::StringValue(subDirName) + "/";
  path += platform_detail::StringValue(resourceName);
  const std::string type = platform_detail::StringValue(resourceType);
  if (!type.empty()) path += "." + type;
  if (!platform_detail::IsFile(path)) return nullptr;
  return platform_detail::NewFileURL(path, false);
}
