#pragma once

#include "raster/LICE_IBitmap.h"

// [any thread] Combines the source rectangle (srcx, srcy, srcw, srch) into the
// destination rectangle (dstx, dsty, dstw, dsth), scaled and rotated by
// `angle` radians about the rectangles' centres, the source centre moved by
// (rotxcent, rotycent). Source pixels are sampled within the whole source, or
// with cliptosourcerect within the source rectangle; nearest-pixel, or
// bilinear with LICE_BLIT_FILTER_BILINEAR. A negative destination width or
// height mirrors the image. Stepping is 16.16 fixed point.
void LICE_RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int dstw,
                      int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent = 0.0f,
                      float rotycent = 0.0f);
