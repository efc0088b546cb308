#pragma once

#include "raster/LICE_IBitmap.h"

// Images in the plug-in bundle's resources, found by base name: the window
// layer owns the bundle lookup so that the raster library knows nothing of
// bundles.

// [any thread] The PNG file "Contents/Resources/<name>" of the main bundle,
// decoded by LICE_LoadPNG into `bitmap` or a new bitmap; null for names
// longer than 400 bytes, without a main bundle, or when the file does not
// load.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bitmap = nullptr);

// [any thread] The window layer's image loader: a file name such as
// "resources/img/knob.png" is reduced to its base name "knob" and loaded as
// the bundle resource "knob.png". Null for a null name, a name whose
// extension is not "png" in any case, or an image that does not load.
LICE_IBitmap* LoadBundleImage(const char* fileName);
