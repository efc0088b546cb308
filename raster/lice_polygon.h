#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] Fills the convex polygon through the npoints vertices
// (x[i], y[i]), pixel centres, edges included: every pixel whose centre lies
// inside or on the polygon. Rows are filled like LICE_FillRect. A polygon
// given out of order or not convex fills, on each row, the run between its
// outermost edges; one without area fills the pixel centres its edges pass
// through. Intersections are exact for any int coordinates.
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode);

// [any thread] The same for a triangle.
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode);
