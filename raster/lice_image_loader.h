#pragma once

#include "raster/LICE_IBitmap.h"

// A loader of one image file type. Loaders link themselves into
// LICE_ImageLoader_list while the program loads (before main); the list is
// only read after that, from any thread.
struct LICE_ImageLoader_rec {
  // The image in `bitmap` (resized) or, when that is null, in a new bitmap
  // owned by the caller; null when the file cannot be read. With
  // checkExtension set, a file whose name does not carry one of this
  // loader's extensions is refused without being opened.
  LICE_IBitmap* (*loadfunc)(const char* filename, bool checkExtension, LICE_IBitmap* bitmap);
  // Pairs of description and pattern, each NUL-terminated, the list ended by
  // an empty string: "PNG files (*.PNG)\0*.PNG\0\0".
  const char* (*get_extlist)();
  LICE_ImageLoader_rec* next;
};

// The most recently linked loader first.
extern LICE_ImageLoader_rec* LICE_ImageLoader_list;
