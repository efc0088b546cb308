#include "framework/editor/FontStorage.h"

#include <cstring>

#include "framework/base/TruncatingCopy.h"
#include "raster/LICE_IFont.h"

FontStorage s_fontCache;

namespace {

bool Matches(const FontStorage::FontKey& key, const IText& text) {
  return key.size == text.mSize && key.orientation == text.mOrientation &&
         key.style == text.mStyle && strcmp(key.face, text.mFont) == 0;
}

}  // namespace

FontStorage::~FontStorage() {
  for (int i = 0; i < mFonts.GetSize(); ++i)
    delete mFonts.Get(i)->font;
  mFonts.Empty(true);
}

LICE_IFont* FontStorage::Find(const IText* text) {
  if (!text) return nullptr;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i) {
    if (Matches(*mFonts.Get(i), *text)) return mFonts.Get(i)->font;
  }
  return nullptr;
}

bool FontStorage::Add(LICE_IFont* font, const IText* text) {
  if (!font || !text) return false;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i) {
    if (mFonts.Get(i)->font == font) return false;
  }
  FontKey* key = new FontKey{text->mSize, text->mOrientation, text->mStyle, {}, font};
  TruncatingCopy(key->face, text->mFont);
  if (mFonts.Add(key)) return true;
  delete key;
  return false;
}
