#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "framework/window/gdi/GdiTypes.h"
#include "framework/window/gdi/detail/FaceCache.h"

// What a font handle points at. Everything but the reference count is fixed
// at creation, so measuring needs no lock; drawing activates the font's size
// on the shared face under GdiLock.
struct HFONT__ {
  int references = 1;  // the creator's handle and each context selecting it; under GdiLock

  const gdi_detail::CachedFace* face = nullptr;  // null: nothing installed, nothing drawn
  FT_Size size = nullptr;                        // this font's scale of the shared face
  bool monochrome = false;
  bool underline = false;
  bool strikeOut = false;

  TEXTMETRIC metrics{};
  // Pixels below the baseline of the underline's top, and above it of the
  // strike-out's top; their thickness.
  int underlineOffset = 0;
  int underlineThickness = 1;
  int strikeOutOffset = 0;
  int strikeOutThickness = 1;
};

namespace gdi_detail {

// [any thread, GdiLock held] The font every context uses until another is
// selected; never deleted.
HFONT__* DefaultFont();

// [any thread, GdiLock held] Whether the pointer is a font handle that has
// not been deleted.
bool IsLiveFont(const void* object);

// [any thread, GdiLock held] Drops one reference; the last one frees the
// font.
void ReleaseFont(HFONT__* font);

// [any thread, GdiLock held] Makes the font's size the face's active one;
// false when the font has no face.
bool ActivateFont(const HFONT__* font);

}  // namespace gdi_detail
