// The property-list reader refuses documents by a nesting bound computed
// before the XML parser runs; the parser itself nests and frees without
// limit. Whenever the parser accepts a document, the tree it built must be
// no deeper than the bound claimed (plus one for an empty innermost
// container, which the bound does not count).
#include <plist/plist.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/detail/XmlNestingBound.h"

namespace {

// Measured without recursion, so that a bound that is wrong shows as an
// abort rather than as a stack overflow of the measurement.
size_t TreeDepth(plist_t root) {
  size_t deepest = 0;
  std::vector<std::pair<plist_t, size_t>> pending{{root, 1}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    const plist_type type = plist_get_node_type(node);
    if (type != PLIST_ARRAY && type != PLIST_DICT) continue;
    deepest = std::max(deepest, depth);
    if (type == PLIST_ARRAY) {
      for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
        pending.emplace_back(plist_array_get_item(node, i), depth + 1);
      continue;
    }
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
      char* key = nullptr;
      plist_t child = nullptr;
      plist_dict_next_item(node, iter, &key, &child);
      std::free(key);
      if (!child) break;
      pending.emplace_back(child, depth + 1);
    }
    std::free(iter);
  }
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  const size_t bound = platform_detail::XmlNestingBound(text);
  plist_t root = nullptr;
  plist_from_xml(text.c_str(), static_cast<uint32_t>(size), &root);
  if (!root) return 0;
  if (TreeDepth(root) > bound + 1) std::abort();
  plist_free(root);
  return 0;
}
