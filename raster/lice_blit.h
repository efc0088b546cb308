#pragma once

#include "framework/window/gdi/GdiTypes.h"
#include "raster/LICE_IBitmap.h"

// Unscaled copies between bitmaps. Both bitmaps may be the same one; an
// overlapping copy reads every source pixel before it is overwritten.
// Nothing is drawn for a null bitmap, one without pixels, a weight that
// rounds to 0 or an area clipped to nothing.

// [any thread] Combines the source rectangle (null: the whole source) into
// dest at (dstx, dsty) with the weight and blend mode (lice_blend_mode.h).
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode);

// [any thread] The same with the source rectangle (srcx, srcy, srcx + srcw,
// srcy + srch).
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode);

// [any thread] Resizes dest to the source's size, even an empty one, and copies
// the source in.
void LICE_Copy(LICE_IBitmap* dest, const LICE_IBitmap* src);
