#pragma once

#include <cstdint>

// What a drawing context handle points at. Drawing code of this layer (text,
// fonts) reaches the surface through it; callers outside the layer only hold
// the handle.
struct HDC__ {
  int width = 0;
  int height = 0;
  int rowSpan = 0;  // pixels between the starts of consecutive rows
  uint32_t* bits = nullptr;
};
