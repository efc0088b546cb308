#pragma once

#include "raster/LICE_IBitmap.h"

namespace artwork {

// The three displays on the frequency scale above the Rate and Depth knobs.
// The editor lays them over one another, so each marks its position with
// its own shape and tint: the base frequency a deep amber notch from above,
// the top of the sweep a pale one from below, the LFO a bright glowing bead
// on the scale line between them.
enum class SweepMark { kBase, kTop, kLfo };

// One frame, kDisplayWidth x kDisplayHeight, marking position `position`
// (0 to 1) along the scale; transparent elsewhere.
void PaintSweepFrame(LICE_IBitmap* frame, SweepMark mark, float position);

}  // namespace artwork
