#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "framework/base/WDL_Mutex.h"

namespace gdi_detail {

// FreeType's library and its faces may not be used from two threads at once,
// and a face's active size is shared state: every FreeType call of this
// layer, and every change to its font records, runs under this lock.
WDL_Mutex& GdiLock();

// An installed face, opened once per process and kept for its lifetime.
struct CachedFace {
  FT_Face face = nullptr;
  // The best installed match is lighter or more upright than asked for, so
  // glyphs are emboldened or slanted when loaded.
  bool embolden = false;
  bool oblique = false;
};

// [any thread, GdiLock held] The process's FreeType library, null when it
// cannot be made.
FT_Library Library();

// [any thread, GdiLock held] The private or installed face that best serves a request
// (family, weight 1..1000, italic, GDI pitch-and-family), or null when no
// font at all can be opened.
const CachedFace* FindFace(const char* family, int weight, bool italic, int pitchAndFamily);

}  // namespace gdi_detail
