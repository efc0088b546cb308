#pragma once

#include "raster/LICE_IBitmap.h"

namespace artwork {

// One frame of the knob: a machined disc lit from the upper left, its
// shadow falling to the lower right, and an amber pointer at `angle`
// (radians, 0 straight up, clockwise). The frame is kKnobSize square and
// transparent outside the disc and its shadow.
void PaintKnobFrame(LICE_IBitmap* frame, float angle);

}  // namespace artwork
