#pragma once

#include "raster/lice_pixel.h"

struct IColor;
struct IChannelBlend;

// How the editor's colours and blends become the raster library's pixel,
// weight and blend-mode word. [any thread]

// A | R << 8 | G << 16 | B << 24, each channel cut to 8 bits; null is
// transparent black.
LICE_pixel LiceColor(const IColor* color);
// The inverse of LiceColor.
IColor IColorFromLice(LICE_pixel pixel);
// The blend's weight, or full weight for a null blend.
float LiceWeight(const IChannelBlend* blend);
// Copy, add and colour dodge weighted by source alpha for the methods that
// ask for them, a plain copy for the copy method; a null blend, "none" and
// unknown methods are an alpha-weighted copy.
int LiceBlendMode(const IChannelBlend* blend);
