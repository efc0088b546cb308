#pragma once

#include "raster/LICE_IBitmap.h"

namespace artwork {

// One frame of the stage selector: six buttons numbered 1 to 6 in a 3 x 2
// grid over the selector's hit area, button `lit` (1 to 6) lit in amber.
// Each button sits inside the cell the selector's value law gives its
// number, with a one-pixel margin; the gaps stay transparent over the well
// the background cuts for them.
void PaintStageFrame(LICE_IBitmap* frame, int lit);

}  // namespace artwork
