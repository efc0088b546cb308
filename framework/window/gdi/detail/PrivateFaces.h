#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace gdi_detail {

// The fonts a plug-in brought along, in a fontconfig configuration of this
// layer's own: a host loading the plug-in keeps its own fonts and
// substitutions, and the plug-in's text does not follow the machine's.

// [any thread, GdiLock held] Adds the font file, or a folder's font files,
// and returns the number of new faces.
int AddPrivateFaces(FT_Library library, const char* path);

// [any thread, GdiLock held] The private face that best serves the request
// (a fontconfig weight), as fontconfig's match with FC_FILE and FC_INDEX, to
// be destroyed by the caller; null when no private face has the family, or,
// for a family none has, one of `kind` ("monospace", "sans-serif" or
// "serif").
FcPattern* MatchPrivateFace(const char* family, const char* kind, int weight, bool italic);

// [any thread, GdiLock held] Counts the additions: a face chosen before an
// addition may no longer be the best one after it.
unsigned PrivateFacesGeneration();

}  // namespace gdi_detail
