#include "platform/NSViewCache.h"

#include <mutex>
#include <unordered_map>

namespace {

struct CachedView {
  NSSize size;
  NSViewCacheDisplayProc draw;
  void* info;
};

struct ViewRegistry {
  std::mutex mutex;
  std::unordered_map<void*, CachedView> views;
};

ViewRegistry& Registry() {
  // Never destroyed: a plug-in library's views may close from its own static
  // destructors, after this library's have run.
  static ViewRegistry* registry = new ViewRegistry;
  return *registry;
}

}  // namespace

void NSViewSetCacheDisplay(void* view, NSSize size, NSViewCacheDisplayProc draw, void* info) {
  ViewRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (draw) {
    registry.views[view] = CachedView{size, draw, info};
  } else {
    registry.views.erase(view);
  }
}

Boolean NSViewGetBoundsSize(void* view, NSSize* size) {
  ViewRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto found = registry.views.find(view);
  if (found == registry.views.end() || !size) return false;
  *size = found->second.size;
  return true;
}

Boolean NSViewCacheDisplay(void* view, NSBitmapImageRep* rep) {
  ViewRegistry& registry = Registry();
  // Held while the view draws, so that it cannot close meanwhile from
  // another thread; a view's drawing never comes back here.
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto found = registry.views.find(view);
  if (found == registry.views.end() || !rep || !rep->bitmapData) return false;
  const CachedView& cached = found->second;
  if (rep->pixelsWide != static_cast<SInt32>(cached.size.width) ||
      rep->pixelsHigh != static_cast<SInt32>(cached.size.height) ||
      rep->bytesPerRow < rep->pixelsWide * 4)
    return false;
  return cached.draw(cached.info, rep);
}
