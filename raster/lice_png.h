#pragma once

#include <vector>

#include "raster/LICE_IBitmap.h"
#include "raster/lice_image_loader.h"

// PNG decoding into bitmaps. Every image arrives in the pixel layout with 8
// bits a channel, and alpha 255 where the file has no transparency. Any
// failure (a missing or broken file, an image larger than the limits below,
// memory) gives null; a given bitmap may then have been resized, but only
// after the file's header passed the limits.
//
// Limits: at most 32768 pixels a side and 2^25 pixels in all (a 128 MiB
// bitmap), and no more pixel data than the file's compressed size could
// inflate to, so no file makes the loader allocate beyond what its image
// really needs. Ancillary chunks are held to libpng's own limits.

// [any thread] The file's image in `bitmap` (resized) or, when that is
// null, in a new LICE_MemBitmap (line alignment 4) owned by the caller.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bitmap = nullptr);

// [any thread] The same for `length` bytes at `data`. Input shorter than a
// PNG signature leaves the bitmap untouched.
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int length, LICE_IBitmap* bitmap = nullptr);

// [any thread] The size of the file's image, read from its header without
// decoding any pixels. False where LICE_LoadPNG would fail before reaching
// the image data: a missing or unreadable file, a broken header or chunk
// before the data, an image beyond the limits.
bool LICE_ReadPNGSize(const char* filename, int* width, int* height);

// The PNG entry of LICE_ImageLoader_list, at its head from program load on.
class LICE_PNGLoader {
 public:
  LICE_PNGLoader();

  // [any thread] LICE_LoadPNG, refusing with checkExtension a file name whose
  // extension (from the last '.' after the last '/' or '\\') is not ".png" in
  // any case.
  static LICE_IBitmap* loadfunc(const char* filename, bool checkExtension, LICE_IBitmap* bitmap);
  // [any thread] "PNG files (*.PNG)\0*.PNG\0\0".
  static const char* get_extlist();

  LICE_ImageLoader_rec rec;
};

// [any thread] The bitmap as the bytes of an 8-bit RGBA PNG, or RGB when
// wantAlpha is false (the alpha byte is then ignored, as a screen ignores
// it); false for an empty bitmap or when memory runs out.
bool LICE_EncodePNG(const LICE_IBitmap* bitmap, bool wantAlpha, std::vector<unsigned char>* png);

// [any thread] Writes the bitmap as an 8-bit RGBA PNG, or RGB when
// wantAlpha is false (the alpha byte is then ignored, as a screen ignores
// it), whole or not at all (see AtomicFile). False, the file untouched, when
// the bitmap is empty or the file cannot be written whole.
bool LICE_WritePNG(const char* filename, const LICE_IBitmap* bitmap, bool wantAlpha = true);
