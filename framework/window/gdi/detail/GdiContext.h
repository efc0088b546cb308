#pragma once

#include <cstdint>

#include "framework/window/gdi/GdiTypes.h"

// What a drawing context handle points at. Drawing code of this layer (text,
// fonts) reaches the surface through it; callers outside the layer only hold
// the handle.
struct HDC__ {
  int width = 0;
  int height = 0;
  int rowSpan = 0;  // pixels between the starts of consecutive rows
  uint32_t* bits = nullptr;

  // The selected font, holding a reference; null means the default font.
  HFONT__* font = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = 2;  // OPAQUE, as a new GDI context starts
};
