#pragma once

#include "effect/artwork/Identity.h"
#include "raster/LICE_IBitmap.h"

namespace artwork {

// The panel behind every control, kPanelWidth x kPanelHeight and opaque:
// graphite with a vertical grain, the product's name, a label under every
// control, and what the controls sit in (the Mix ring's track, the stage
// selector's well, scale ticks round the knobs, the frequency scale).
void PaintBackground(LICE_IBitmap* panel, const Identity& identity);

}  // namespace artwork
