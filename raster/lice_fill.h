#pragma once

#include "raster/LICE_IBitmap.h"

// Solid fills and single pixels. Nothing is drawn for a null bitmap, one
// without pixels, a weight that rounds to 0 or an area clipped to nothing.

// [any thread] Every pixel of the bitmap becomes the colour.
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);

// [any thread] Every pixel of the clipped rectangle becomes
// (pixel & andMask) | orBits.
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel andMask = 0,
                    LICE_pixel orBits = 0);

// [any thread] Fills the rectangle with the colour at the weight and blend
// mode; with LICE_BLIT_USE_ALPHA the weight is scaled by the colour's alpha.
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode);

// [any thread] The pixel at (x, y), or 0 outside the bitmap.
LICE_pixel LICE_GetPixel(const LICE_IBitmap* bm, int x, int y);

// [any thread] Combines the colour into one pixel; outside the bitmap nothing
// happens. Only the mode's operation counts (not its source-alpha bit).
void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel color, float alpha, int mode);
