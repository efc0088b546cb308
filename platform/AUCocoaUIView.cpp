#include "platform/AUCocoaUIView.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/CFString.h"

namespace {

struct ClassRegistry {
  std::mutex mutex;
  std::vector<const AUCocoaUIBase*> classes;

  // Under the mutex.
  std::vector<const AUCocoaUIBase*>::iterator Find(const char* name) {
    for (auto it = classes.begin(); it != classes.end(); ++it) {
      if (std::strcmp((*it)->className, name) == 0) return it;
    }
    return classes.end();
  }
};

ClassRegistry& Registry() {
  // Never destroyed: plug-in libraries unregister from their own static
  // destructors, which may run after this library's.
  static ClassRegistry* registry = new ClassRegistry;
  return *registry;
}

}  // namespace

Boolean AUCocoaUIRegisterClass(const AUCocoaUIBase* viewClass) {
  if (!viewClass || !viewClass->className || !viewClass->className[0]) return false;
  ClassRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (registry.Find(viewClass->className) != registry.classes.end()) return false;
  registry.classes.push_back(viewClass);
  return true;
}

void AUCocoaUIUnregisterClass(const AUCocoaUIBase* viewClass) {
  if (!viewClass || !viewClass->className) return;
  ClassRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto it = registry.Find(viewClass->className);
  if (it != registry.classes.end() && *it == viewClass) registry.classes.erase(it);
}

const AUCocoaUIBase* AUCocoaUIClassNamed(CFStringRef className) {
  char name[256];
  if (!className || !CFStringGetCString(className, name, sizeof name, kCFStringEncodingUTF8)) {
    return nullptr;
  }
  ClassRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto it = registry.Find(name);
  return it == registry.classes.end() ? nullptr : *it;
}
