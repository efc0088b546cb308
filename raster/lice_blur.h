#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] Blurs the source rectangle (srcx, srcy, srcw, srch) into dest
// at (dstx, dsty) with a 3 x 3 binomial kernel (1 2 1 across and down, all
// four channels). Pixels beyond the rectangle's edges count as copies of the
// edge pixels, so nothing outside the rectangle bleeds in. Clipped like
// LICE_Blit. Source and destination may be the same bitmap, the same area
// included (blurring in place); no memory is allocated.
void LICE_Blur(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch);
