#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effect/artwork/Identity.h"
#include "raster/LICE_MemBitmap.h"

namespace artwork {

// One of the editor's images: its file's base name and its strip's shape.
struct ImageShape {
  std::string name;  // "knob" for knob.png
  int width;
  int frameHeight;
  int frames;  // stacked top to bottom
};

// The images of the panel's table, in the order the editor loads them.
const std::vector<ImageShape>& Catalogue();

// Paints the whole strip of one catalogued image.
std::unique_ptr<LICE_MemBitmap> PaintImage(const ImageShape& shape, const Identity& identity);

}  // namespace artwork
