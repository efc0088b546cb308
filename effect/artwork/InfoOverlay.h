#pragma once

#include "effect/artwork/Identity.h"
#include "raster/LICE_IBitmap.h"

namespace artwork {

// The information overlay, kPanelWidth x kPanelHeight: a nearly opaque
// sheet over the whole panel with the product's name where the panel shows
// it, its version and maker, and a line on how to use the editor.
void PaintInfoOverlay(LICE_IBitmap* overlay, const Identity& identity);

}  // namespace artwork
