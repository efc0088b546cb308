#include "framework/editor/BitmapStorage.h"

#include "raster/LICE_IBitmap.h"

BitmapStorage s_bitmapCache;

BitmapStorage::~BitmapStorage() {
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    delete mBitmaps.Get(i)->bitmap;
  mBitmaps.Empty(true);
}

LICE_IBitmap* BitmapStorage::Find(int id) {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i) {
    if (mBitmaps.Get(i)->id == id) return mBitmaps.Get(i)->bitmap;
  }
  return nullptr;
}

bool BitmapStorage::Add(LICE_IBitmap* bitmap, int id) {
  if (!bitmap) return false;
  WDL_MutexLock lock(&mMutex);
  if (IndexOf(bitmap) >= 0) return false;
  BitmapKey* key = new BitmapKey{id, bitmap};
  if (mBitmaps.Add(key)) return true;
  delete key;
  return false;
}

bool BitmapStorage::Remove(LICE_IBitmap* bitmap) {
  {
    WDL_MutexLock lock(&mMutex);
    const int index = IndexOf(bitmap);
    if (index < 0 || mBitmaps.Get(index)->id != kRunTimeId) return false;
    mBitmaps.Delete(index, true);
  }
  delete bitmap;
  return true;
}

int BitmapStorage::IndexOf(const LICE_IBitmap* bitmap) const {
  for (int i = 0; i < mBitmaps.GetSize(); ++i) {
    if (mBitmaps.Get(i)->bitmap == bitmap) return i;
  }
  return -1;
}
