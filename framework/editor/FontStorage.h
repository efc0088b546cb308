#pragma once

#include "framework/base/WDL_Mutex.h"
#include "framework/base/WDL_PtrList.h"
#include "framework/editor/IText.h"

class LICE_IFont;

// The process-wide store of fonts, one per face, size, style and
// orientation, shared by every editor. It owns every font it holds and frees
// them only at unload. Each operation holds the store's own mutex.
// [any thread]
class FontStorage {
 public:
  struct FontKey {
    int size;
    int orientation;
    int style;
    char face[IText::kMaxFontName];
    LICE_IFont* font;
  };

  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The first font stored for the text's size, orientation, style and face
  // (exact, case-sensitive), or null. A size of 0 or less is matched like
  // any other: it is only a key here, never a divisor.
  LICE_IFont* Find(const IText* text);
  // Takes ownership of the font under the text's key. Refuses (false,
  // ownership stays with the caller) a null font or text and a font already
  // held, which would otherwise be freed twice.
  bool Add(LICE_IFont* font, const IText* text);

 private:
  WDL_PtrList<FontKey> mFonts;
  WDL_Mutex mMutex;
};

extern FontStorage s_fontCache;
