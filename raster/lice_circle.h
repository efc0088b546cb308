#pragma once

#include "raster/LICE_IBitmap.h"

// Circles and arcs. Pixel coordinates are pixel centres: a circle of radius r
// about (cx, cy) passes through the pixels r away from it, and a filled
// circle covers the pixels within r + 0.5 (2r + 1 pixels across for a whole
// centre and radius). Anti-aliased forms shade by distance to the ideal
// shape. Everything is clipped to the bitmap; NaN or infinite geometry and
// negative radii draw nothing.
//
// Outlines (LICE_Arc, LICE_Circle) combine like LICE_Line: the colour's four
// channels at the weight, the source-alpha bit not used. Fills combine like
// LICE_FillRect, whose source-alpha bit scales the weight by the colour's
// alpha.

// [any thread] The part of a one-pixel circle outline from minAngle to
// maxAngle, radians, 0 straight up and growing clockwise; a span of 2 pi or
// more is the whole circle, and the ends are swapped when given backwards.
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool antialias = false);

// [any thread] A one-pixel circle outline.
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool antialias = false);

// [any thread] A filled circle.
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                     int mode, bool antialias = false);
