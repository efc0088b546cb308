#include <new>

#include "framework/base/MorvexAssert.h"
#include "framework/editor/BitmapLimits.h"
#include "framework/editor/BitmapStorage.h"
#include "framework/editor/IGraphics.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_fill.h"
#include "raster/lice_scaled_blit.h"

namespace {

// A new bitmap of w x h with the editor's row alignment, handed to the cache
// as run-time pixels; null when the size is refused, memory runs out or the
// cache cannot take it (then nothing is left behind).
LICE_MemBitmap* NewRetainedBitmap(long long w, long long h) {
  if (!BitmapSizeAllowed(w, h)) return nullptr;
  auto* bitmap = new (std::nothrow) LICE_MemBitmap(static_cast<int>(w), static_cast<int>(h), 4);
  if (!bitmap) return nullptr;
  if (!bitmap->getBits() || !s_bitmapCache.Add(bitmap, BitmapStorage::kRunTimeId)) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

}  // namespace

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal) {
  LICE_IBitmap* pixels = s_bitmapCache.Find(id);
  if (!pixels) {
    pixels = OSLoadBitmap(id, name);
    const bool imgResourceFound = pixels != nullptr;
#ifndef NDEBUG
    MORVEX_ASSERT(imgResourceFound);
#endif
    if (!imgResourceFound) {
      // A release build keeps the host alive: the plug-in runs without its
      // editor, and whatever was laid out with this image draws nothing.
      mImageMissing = true;
      return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
    }
    // Refused only when the cache cannot grow (or the window layer handed
    // back pixels the cache holds already): the pixels then stay unowned
    // for the process's life, which beats freeing what controls draw.
    s_bitmapCache.Add(pixels, id);
  }
  mImages.push_back(pixels);
  return IBitmap(pixels, pixels->getWidth(), pixels->getHeight(), nStates, framesAreHorizontal);
}

bool IGraphics::DecodeImages() {
  for (const LICE_IBitmap* image : mImages)
    if (!image->getBits()) mImageMissing = true;
  return !mImageMissing;
}

IBitmap IGraphics::ScaleBitmap(IBitmap* bitmap, int w, int h) {
  if (!bitmap || !bitmap->mData) return IBitmap();
  LICE_MemBitmap* scaled = NewRetainedBitmap(w, h);
  if (!scaled) return IBitmap(nullptr, 0, 0, bitmap->N);
  // Whatever the scaling cannot reach (a source smaller than it claims)
  // stays transparent rather than showing what the new storage held.
  LICE_Clear(scaled, 0);
  LICE_ScaledBlit(scaled, bitmap->mData, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(bitmap->W),
                  static_cast<float>(bitmap->H), 1.0f,
                  LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR);
  return IBitmap(scaled, w, h, bitmap->N, false);
}

IBitmap IGraphics::CropBitmap(IBitmap* bitmap, IRECT* rect) {
  if (!bitmap || !bitmap->mData || !rect) return IBitmap();
  const long long w = static_cast<long long>(rect->R) - rect->L;
  const long long h = static_cast<long long>(rect->B) - rect->T;
  LICE_MemBitmap* cropped = NewRetainedBitmap(w, h);
  if (!cropped) return IBitmap(nullptr, 0, 0, bitmap->N);
  // The part of the rectangle outside the source stays transparent.
  LICE_Clear(cropped, 0);
  LICE_Blit(cropped, bitmap->mData, 0, 0, rect->L, rect->T, static_cast<int>(w),
            static_cast<int>(h), 1.0f, LICE_BLIT_MODE_COPY);
  return IBitmap(cropped, static_cast<int>(w), static_cast<int>(h), bitmap->N, false);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) s_bitmapCache.Add(bitmap->mData, BitmapStorage::kRunTimeId);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (!bitmap || !bitmap->mData) return;
  if (!s_bitmapCache.Remove(bitmap->mData)) return;
  // The caller's copy must not keep pointing at freed pixels; other copies
  // of it are the caller's to forget.
  bitmap->mData = nullptr;
  bitmap->W = 0;
  bitmap->H = 0;
}
