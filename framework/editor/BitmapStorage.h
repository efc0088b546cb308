#pragma once

#include "framework/base/WDL_Mutex.h"
#include "framework/base/WDL_PtrList.h"

class LICE_IBitmap;

// The process-wide store of decoded bitmaps, shared by every editor so that
// each image resource is decoded once. It owns every bitmap it holds and
// frees them only at unload, or when a bitmap made at run time is released.
// Each operation holds the store's own mutex. [any thread]
class BitmapStorage {
 public:
  // Resource id of bitmaps made at run time (scaled, cropped, retained).
  static constexpr int kRunTimeId = -1;

  struct BitmapKey {
    int id;
    LICE_IBitmap* bitmap;
  };

  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The first bitmap stored under the id, or null.
  LICE_IBitmap* Find(int id);
  // Takes ownership. Refuses (false, ownership stays with the caller) null
  // and pixels already held, which would otherwise be freed twice.
  bool Add(LICE_IBitmap* bitmap, int id = kRunTimeId);
  // Drops and frees a bitmap made at run time. Refuses pixels loaded from a
  // resource id, which other editors may still be drawing, and pixels it
  // does not hold.
  bool Remove(LICE_IBitmap* bitmap);

 private:
  int IndexOf(const LICE_IBitmap* bitmap) const;

  WDL_PtrList<BitmapKey> mBitmaps;
  WDL_Mutex mMutex;
};

extern BitmapStorage s_bitmapCache;
