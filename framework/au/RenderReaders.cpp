#include "framework/au/detail/RenderReaders.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {
struct Retired {
  void* object;
  void (*destroy)(void*);
};

struct Graveyard {
  std::mutex mutex;
  std::vector<Retired> objects;
};

Graveyard& TheGraveyard() {
  static Graveyard& graveyard = *new Graveyard;  // outlives every static destructor
  return graveyard;
}
}  // namespace

std::atomic<int>& RenderReaders::Count() noexcept {
  static std::atomic<int> count{0};
  return count;
}

void RenderReaders::Retire(void* object, void (*destroy)(void*)) {
  Graveyard& graveyard = TheGraveyard();
  {
    std::lock_guard<std::mutex> lock(graveyard.mutex);
    graveyard.objects.push_back({object, destroy});
  }
  Reclaim();
}

void RenderReaders::Reclaim() {
  Graveyard& graveyard = TheGraveyard();
  std::vector<Retired> freed;
  {
    std::lock_guard<std::mutex> lock(graveyard.mutex);
    // Everything listed was unpublished before it was listed, so a render
    // that could hold it has been counted since.
    if (Count().load(std::memory_order_seq_cst) != 0) return;
    freed.swap(graveyard.objects);
  }
  // Destroying may retire more (a closed plug-in's own lists).
  for (const Retired& retired : freed)
    retired.destroy(retired.object);
}
