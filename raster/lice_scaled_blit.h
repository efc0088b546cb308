#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] Combines the source rectangle (srcx, srcy, srcw, srch), in
// source pixels, into the destination rectangle (dstx, dsty, dstw, dsth),
// scaling it. A negative destination width or height mirrors the image.
// Sampling is nearest-pixel, or with LICE_BLIT_FILTER_BILINEAR bilinear (an
// averaging kernel for reductions of 1.7 and more). Source pixels are read
// only inside the source; destination pixels written only inside the
// destination. Stepping is 16.16 fixed point.
void LICE_ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw,
                     int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                     int mode);
