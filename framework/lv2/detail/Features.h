#pragma once

#include <cstring>

#include "lv2/core/lv2.h"

// The data of the host feature with that URI, or null when the host does not
// offer it. features may be null.
template <class T>
const T* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    if ((*f)->URI && !std::strcmp((*f)->URI, uri)) return static_cast<const T*>((*f)->data);
  }
  return nullptr;
}
