#pragma once

#include "raster/LICE_IBitmap.h"

namespace artwork {

// One frame of the Mix ring for `stages` stages (1 to 6): as many LED
// segments around the knob, lit from the start of the knob's travel up to
// `level` (0 to 1) and glowing dimly beyond it. Level 0 is the zero frame:
// fully transparent, since the five rings not in use show it on top of one
// another. The frame is kRingSize square; its centre, where the knob sits,
// stays clear.
void PaintRingFrame(LICE_IBitmap* frame, int stages, float level);

}  // namespace artwork
