#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/CFArray.h"
#include "platform/CFNumber.h"
#include "platform/CFPropertyList.h"
#include "platform/Components.h"
#include "platform/HostComponents.h"
#include "platform/detail/BundleRegistry.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/ComponentCall.h"
#include "platform/detail/ComponentRecords.h"
#include "platform/detail/ComponentScan.h"
#include "platform/detail/InstanceTable.h"

namespace platform_detail {
namespace {

constexpr OSType kViewComponentType = 0x61757677;  // 'auvw'

struct Skipped {
  std::string path;
  std::string reason;
};

// Records are never freed (handles must stay checkable); `components` lists
// the registered ones in registration order.
struct Registry {
  std::mutex mutex;
  bool scanned = false;
  std::vector<std::unique_ptr<ComponentRecord>> records;
  std::vector<std::unique_ptr<LoadedBundle>> bundles;
  std::vector<ComponentRecord*> components;
  std::vector<Skipped> skipped;
};

Registry& TheRegistry() {
  static Registry& registry = *new Registry;
  return registry;
}

std::string PascalString(const std::string& text) {
  const std::string clipped = text.substr(0, 255);
  std::string pascal(1, static_cast<char>(clipped.size()));
  return pascal + clipped + '\0';
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool FourCharCode(CFTypeRef value, OSType& code) {
  const std::string text = StringValue(value);
  if (CFGetTypeID(value) != CFStringGetTypeID() || text.size() != 4) return false;
  code = 0;
  for (char c : text)
    code = (code << 8) | static_cast<unsigned char>(c);
  return true;
}

CFTypeRef Value(CFDictionaryRef dictionary, const char* key) {
  return CFDictionaryGetValue(dictionary, __CFStringMakeConstantString(key));
}

bool StringValueOf(CFDictionaryRef dictionary, const char* key, std::string& out) {
  CFTypeRef value = Value(dictionary, key);
  if (CFGetTypeID(value) != CFStringGetTypeID()) return false;
  out = StringValue(value);
  return !out.empty();
}

ComponentRecord* AddRecord(Registry& registry, const ComponentDescription& description,
                           const std::string& name, SInt32 version) {
  auto record = std::make_unique<ComponentRecord>();
  record->description = description;
  record->description.componentFlagsMask = 0;
  record->pascalName = PascalString(name);
  record->pascalInfo = PascalString("");
  record->version = version;
  registry.records.push_back(std::move(record));
  registry.components.push_back(registry.records.back().get());
  return registry.records.back().get();
}

struct ParsedComponent {
  ComponentDescription description{};
  std::string name;
  SInt32 version = 0;
  std::string entry;
  std::string viewEntry;
};

// Reads one AudioComponents entry; an empty result names what is wrong.
std::string ParseComponent(CFTypeRef item, ParsedComponent& parsed) {
  if (CFGetTypeID(item) != CFDictionaryGetTypeID()) return "component entry is not a dictionary";
  const auto dictionary = static_cast<CFDictionaryRef>(item);
  if (!FourCharCode(Value(dictionary, "type"), parsed.description.componentType)) {
    return "component type is not a four-character code";
  }
  if (!FourCharCode(Value(dictionary, "subtype"), parsed.description.componentSubType)) {
    return "component subtype is not a four-character code";
  }
  if (!FourCharCode(Value(dictionary, "manufacturer"), parsed.description.componentManufacturer)) {
    return "component manufacturer is not a four-character code";
  }
  if (!StringValueOf(dictionary, "name", parsed.name)) return "component has no name";
  if (!StringValueOf(dictionary, "entryPoint", parsed.entry)) return "component has no entryPoint";
  CFTypeRef version = Value(dictionary, "version");
  if (version &&
      !CFNumberGetValue(static_cast<CFNumberRef>(version), kCFNumberSInt32Type, &parsed.version)) {
    return "component version is not a 32-bit integer";
  }
  CFTypeRef view = Value(dictionary, "viewEntryPoint");
  if (view && !StringValueOf(dictionary, "viewEntryPoint", parsed.viewEntry)) {
    return "component viewEntryPoint is not a string";
  }
  return "";
}

// Registers the components of one bundle, or records why it is skipped.
void ScanBundle(Registry& registry, const std::string& path) {
  const auto skip = [&](const std::string& reason) { registry.skipped.push_back({path, reason}); };
  const std::string plistPath = path + "/Contents/Info.plist";
  if (!IsFile(plistPath)) return skip("missing Contents/Info.plist");
  CFPropertyListRef list = ReadPropertyListFile(plistPath);
  if (CFGetTypeID(list) != CFDictionaryGetTypeID()) {
    if (list) CFRelease(list);
    return skip("Contents/Info.plist is not a readable property list dictionary");
  }
  const auto info = static_cast<CFDictionaryRef>(list);
  std::string identifier;
  std::string executable;
  std::vector<ParsedComponent> parsed;
  std::string problem;
  CFTypeRef components = Value(info, "AudioComponents");
  if (!StringValueOf(info, "CFBundleIdentifier", identifier)) {
    problem = "Info.plist has no CFBundleIdentifier";
  } else if (!StringValueOf(info, "CFBundleExecutable", executable) ||
             executable.find('/') != std::string::npos) {
    problem = "Info.plist has no usable CFBundleExecutable";
  } else if (CFGetTypeID(components) != CFArrayGetTypeID() ||
             CFArrayGetCount(static_cast<CFArrayRef>(components)) == 0) {
    problem = "Info.plist has no AudioComponents entries";
  } else if (!IsFile(path + "/Contents/MacOS/" + executable)) {
    problem = "missing executable Contents/MacOS/" + executable;
  }
  for (CFIndex i = 0; problem.empty() && i < CFArrayGetCount(static_cast<CFArrayRef>(components));
       ++i) {
    parsed.emplace_back();
    problem = ParseComponent(CFArrayGetValueAtIndex(static_cast<CFArrayRef>(components), i),
                             parsed.back());
  }
  if (!problem.empty()) {
    CFRelease(info);
    return skip(problem);
  }
  auto bundle = std::make_unique<LoadedBundle>();
  bundle->path = path;
  bundle->executable = path + "/Contents/MacOS/" + executable;
  bundle->bundle = RegisterComponentBundle(path, info);
  CFRelease(info);
  for (const ParsedComponent& component : parsed) {
    ComponentRecord* record =
        AddRecord(registry, component.description, component.name, component.version);
    record->bundle = bundle.get();
    record->entrySymbol = component.entry;
    if (component.viewEntry.empty()) continue;
    ComponentDescription view = component.description;
    view.componentType = kViewComponentType;
    record = AddRecord(registry, view, component.name, component.version);
    record->bundle = bundle.get();
    record->entrySymbol = component.viewEntry;
  }
  registry.bundles.push_back(std::move(bundle));
}

void ScanFolder(Registry& registry, const std::string& folder) {
  if (EndsWith(folder, ".component")) {
    if (IsDirectory(folder)) ScanBundle(registry, folder);
    return;
  }
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (EndsWith(name, ".component") && IsDirectory(folder + "/" + name)) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    ScanBundle(registry, folder + "/" + name);
}

// [registry lock held]
void ScanLocked(Registry& registry) {
  if (registry.scanned) return;
  registry.scanned = true;
  std::vector<std::string> folders;
  if (const char* paths = std::getenv("AUDIOUNIT_PATH")) {
    std::string list = paths;
    size_t start = 0;
    while (start <= list.size()) {
      const size_t end = std::min(list.find(':', start), list.size());
      if (end > start) folders.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  if (const char* home = std::getenv("HOME")) {
    folders.push_back(std::string(home) + "/Library/Audio/Plug-Ins/Components");
  }
  folders.push_back("/Library/Audio/Plug-Ins/Components");
  if (*HostInstalledComponentsFolder()) folders.push_back(HostInstalledComponentsFolder());
  for (std::string& folder : folders) {
    while (folder.size() > 1 && folder.back() == '/')
      folder.pop_back();
    ScanFolder(registry, folder);
  }
}

bool Matches(const ComponentDescription& have, const ComponentDescription* want) {
  if (!want) return true;
  return (!want->componentType || want->componentType == have.componentType) &&
         (!want->componentSubType || want->componentSubType == have.componentSubType) &&
         (!want->componentManufacturer ||
          want->componentManufacturer == have.componentManufacturer) &&
         (have.componentFlags & want->componentFlagsMask) ==
             (want->componentFlags & want->componentFlagsMask);
}

// [registry lock held]
void Unregister(Registry& registry, ComponentRecord* record) {
  record->registered = false;
  registry.components.erase(
      std::remove(registry.components.begin(), registry.components.end(), record),
      registry.components.end());
}

// The component behind a handle (or behind an open instance's handle); null
// otherwise. Reads only fields that never change after registration.
ComponentRecord* AnyComponent(Component handle) {
  if (!handle) return nullptr;
  if (reinterpret_cast<std::uintptr_t>(handle) & 1u) {
    const InstanceTable::Call call(reinterpret_cast<ComponentInstance>(handle));
    return call.Live() ? call.Component() : nullptr;
  }
  return handle->magic == ComponentRecord::kMagic ? handle : nullptr;
}

// Loads the bundle's library and resolves the entry. Called with the registry
// locked; dlopen runs unlocked, since a library's constructors may call back
// into the registry (two racing loads just share the refcounted handle).
OSErr ResolveEntry(Registry& registry, std::unique_lock<std::mutex>& lock,
                   ComponentRecord* record) {
  if (record->entry) return noErr;
  LoadedBundle* bundle = record->bundle;
  std::string failure;
  if (!bundle->library) {
    const std::string executable = bundle->executable;
    lock.unlock();
    void* library;
    const char* message;
    {
      // The loader serialises loads and their constructors itself, but with
      // a lock of its own that race detectors cannot see; ours makes the
      // order visible. Recursive, because a constructor may load in turn.
      static std::recursive_mutex loading;
      const std::lock_guard<std::recursive_mutex> serialised(loading);
      MarkBundleLoaded(bundle->bundle, true);
      library = dlopen(executable.c_str(), RTLD_NOW | RTLD_LOCAL);
      message = library ? nullptr : dlerror();
      if (!library) MarkBundleLoaded(bundle->bundle, false);
    }
    failure = std::string("cannot load library: ") + (message ? message : "unknown error");
    lock.lock();
    if (!bundle->library) bundle->library = library;
    if (!record->registered) return invalidComponentID;  // forgotten meanwhile
    if (record->entry) return noErr;
  }
  if (bundle->library) {
    void* symbol = dlsym(bundle->library, record->entrySymbol.c_str());
    if (symbol) {
      record->entry = reinterpret_cast<ComponentRoutineProcPtr>(symbol);
      return noErr;
    }
    failure = "missing entry symbol " + record->entrySymbol;
  }
  registry.skipped.push_back({bundle->path, failure});
  for (const auto& other : registry.records) {
    if (other->bundle == bundle && other->registered) Unregister(registry, other.get());
  }
  return unresolvedComponentDLLErr;
}

// OSErr is 16 bits: a wider status cannot be passed on as it is.
OSErr ToOSErr(ComponentResult result) {
  return result >= -32768 && result <= 32767 ? static_cast<OSErr>(result)
                                             : static_cast<OSErr>(invalidComponentID);
}

void CopyClipped(char* out, size_t size, const std::string& text) {
  const size_t length = std::min(size - 1, text.size());
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

}  // namespace

void EnsureComponentsScanned() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  ScanLocked(registry);
}

}  // namespace platform_detail

using platform_detail::CallComponent;
using platform_detail::InstanceTable;
using platform_detail::Registry;
using platform_detail::TheRegistry;
using platform_detail::ToOSErr;

Component FindNextComponent(Component aComponent, ComponentDescription* looking) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  platform_detail::ScanLocked(registry);
  auto it = registry.components.begin();
  if (aComponent) {
    it = std::find(registry.components.begin(), registry.components.end(), aComponent);
    if (it == registry.components.end()) return nullptr;
    ++it;
  }
  for (; it != registry.components.end(); ++it) {
    if (platform_detail::Matches((*it)->description, looking)) return *it;
  }
  return nullptr;
}

long CountComponents(ComponentDescription* looking) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  platform_detail::ScanLocked(registry);
  return static_cast<long>(std::count_if(
      registry.components.begin(), registry.components.end(), [&](const ComponentRecord* record) {
        return platform_detail::Matches(record->description, looking);
      }));
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                       Handle componentInfo, Handle) {
  const ComponentRecord* record = platform_detail::AnyComponent(aComponent);
  if (!record) return invalidComponentID;
  if (cd) *cd = record->description;
  if (componentName) *componentName = const_cast<char*>(record->pascalName.data());
  if (componentInfo) *componentInfo = const_cast<char*>(record->pascalInfo.data());
  return noErr;
}

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci) {
  if (!ci) return paramErr;
  *ci = nullptr;
  Registry& registry = TheRegistry();
  ComponentRoutineProcPtr entry;
  {
    std::unique_lock<std::mutex> lock(registry.mutex);
    if (!aComponent || aComponent->magic != ComponentRecord::kMagic || !aComponent->registered) {
      return invalidComponentID;
    }
    const OSErr loaded = platform_detail::ResolveEntry(registry, lock, aComponent);
    if (loaded != noErr) return loaded;
    entry = aComponent->entry;
    ++aComponent->instances;
  }
  // From here on the instance table owns the count and drops it on close.
  ComponentInstance instance = InstanceTable::Open(aComponent, entry);
  if (!instance) {
    --aComponent->instances;
    return invalidComponentID;
  }
  const ComponentResult result = CallComponent(instance, kComponentOpenSelect, instance);
  if (result != noErr) {
    InstanceTable::Discard(instance);
    return ToOSErr(result);
  }
  *ci = instance;
  return noErr;
}

ComponentInstance OpenComponent(Component aComponent) {
  ComponentInstance instance = nullptr;
  OpenAComponent(aComponent, &instance);
  return instance;
}

OSErr CloseComponent(ComponentInstance aComponentInstance) {
  return ToOSErr(InstanceTable::RequestClose(aComponentInstance));
}

long CountComponentInstances(Component aComponent) {
  const ComponentRecord* record = platform_detail::AnyComponent(aComponent);
  return record ? record->instances.load() : 0;
}

OSErr UnregisterComponent(Component aComponent) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (!aComponent || aComponent->magic != ComponentRecord::kMagic || !aComponent->registered) {
    return invalidComponentID;
  }
  if (aComponent->instances > 0) return validInstancesExist;
  platform_detail::Unregister(registry, aComponent);
  return noErr;
}

Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance) {
  const InstanceTable::Call call(aComponentInstance);
  return call.Live() ? call.Storage() : nullptr;
}

void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage) {
  const InstanceTable::Call call(aComponentInstance);
  if (call.Live()) call.SetStorage(theStorage);
}

Component HostRegisterComponent(const ComponentDescription* cd, ComponentRoutineProcPtr entry,
                                const char* name, SInt32 version) {
  if (!cd || !entry) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  ComponentRecord* record = platform_detail::AddRecord(registry, *cd, name ? name : "", version);
  record->entry = entry;
  return record;
}

void HostRescanComponents(void) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (const auto& record : registry.records) {
    if (record->bundle && record->registered) platform_detail::Unregister(registry, record.get());
  }
  registry.skipped.clear();
  platform_detail::RetireComponentBundles();
  registry.scanned = false;
  platform_detail::ScanLocked(registry);
}

UInt32 HostCountSkippedBundles(void) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  platform_detail::ScanLocked(registry);
  return static_cast<UInt32>(registry.skipped.size());
}

Boolean HostGetSkippedBundle(UInt32 index, HostSkippedBundle* outSkipped) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  platform_detail::ScanLocked(registry);
  if (!outSkipped || index >= registry.skipped.size()) return false;
  const auto& skipped = registry.skipped[index];
  platform_detail::CopyClipped(outSkipped->path, sizeof outSkipped->path, skipped.path);
  platform_detail::CopyClipped(outSkipped->reason, sizeof outSkipped->reason, skipped.reason);
  return true;
}

SInt32 HostGetRegisteredVersion(Component aComponent) {
  const ComponentRecord* record = platform_detail::AnyComponent(aComponent);
  return record ? record->version : 0;
}

const char* HostInstalledComponentsFolder(void) {
  // The library never moves once loaded, so the answer is found once.
  static const std::string folder = [] {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&HostInstalledComponentsFolder), &info) || !info.dli_fname)
      return std::string();
    char* library = realpath(info.dli_fname, nullptr);
    if (!library) return std::string();
    std::string path = library;
    std::free(library);
    return path.substr(0, path.rfind('/') + 1) + "Components";
  }();
  return folder.c_str();
}

CFBundleRef HostGetComponentBundle(Component aComponent) {
  const ComponentRecord* record = platform_detail::AnyComponent(aComponent);
  return record && record->bundle ? record->bundle->bundle : nullptr;
}
