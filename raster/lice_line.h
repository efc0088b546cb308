#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] Clips the segment (x1, y1)-(x2, y2), in place, to a bitmap of
// width x height (Cohen-Sutherland). False when nothing of it is inside.
bool ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height);

// [any thread] A one-pixel line including both end points, plain or
// anti-aliased, combined with the mode's operation (its source-alpha bit is
// not used) at the weight.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool antialias = false);

// [any thread] Outline of the rectangle with corners (x, y) and
// (x + w, y + h), both edges drawn, as four plain lines.
void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode);

// [any thread] Fills the inside of the rectangle from (x + 1, y + 1), then
// draws its outline in the border colour.
void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel fillColor,
                       LICE_pixel borderColor, float alpha, int mode);
