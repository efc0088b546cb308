#pragma once

#include <memory>

#include "effect/artwork/Identity.h"
#include "raster/LICE_MemBitmap.h"

namespace artwork {

// The editor as it would look with the artwork: the images stacked in the
// editor's drawing order and with its blends, at a typical setting (Mix at
// 70 % with four stages, the displays apart, the knobs at various angles),
// optionally with the information overlay shown, enlarged `scale` times
// with nearest-neighbour sampling.
std::unique_ptr<LICE_MemBitmap> ComposePreview(const Identity& identity, bool withInfo, int scale);

}  // namespace artwork
