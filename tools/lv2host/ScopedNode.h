#pragma once

#include <lilv/lilv.h>

// A lilv node freed at the end of the scope that made it.
struct ScopedNode {
  LilvNode* node;
  ~ScopedNode() { lilv_node_free(node); }
};
