#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] The one-pixel outline of a rectangle with rounded corners: the
// border pixels of the w x h pixels from (x, y) (coordinates rounded to whole
// pixels), corners turned on quarter circles of radius cornerradius (limited
// to what the size allows; 0 gives square corners), so that it outlines the
// area the editor's rounded fill of the same rectangle covers. Straight edges
// are plain lines; with antialias the corners are shaded. Combines like
// LICE_Line.
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool antialias = false);
