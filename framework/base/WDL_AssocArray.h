#pragma once

#include "WDL_TypedBuf.h"

// A key/value array kept sorted by key, looked up by binary search.
// Optional functions duplicate keys on insertion and dispose of keys and
// values when they leave the array.
template <class KEY, class VAL>
class WDL_AssocArray {
 public:
  using Compare = int (*)(KEY* a, KEY* b);
  using KeyDuplicate = KEY (*)(KEY);
  using KeyDispose = void (*)(KEY);
  using ValueDispose = void (*)(VAL);

  explicit WDL_AssocArray(Compare compare, KeyDuplicate keyDuplicate = nullptr,
                          KeyDispose keyDispose = nullptr, ValueDispose valueDispose = nullptr)
      : mCompare(compare),
        mKeyDuplicate(keyDuplicate),
        mKeyDispose(keyDispose),
        mValueDispose(valueDispose) {}
  ~WDL_AssocArray() { DeleteAll(false); }

  WDL_AssocArray(const WDL_AssocArray&) = delete;
  WDL_AssocArray& operator=(const WDL_AssocArray&) = delete;

  // Replaces the value of a present key (keeping the stored key) or inserts
  // a new pair; returns the pair's place, or -1 when the array cannot grow.
  int Insert(KEY key, VAL value) {
    int place;
    if (Find(key, &place)) {
      KeyValue* pair = mData.Get() + place;
      if (mValueDispose) mValueDispose(pair->value);
      pair->value = value;
      return place;
    }
    const KeyValue pair{mKeyDuplicate ? mKeyDuplicate(key) : key, value};
    if (!mData.Insert(pair, place)) {
      if (mKeyDuplicate && mKeyDispose) mKeyDispose(pair.key);
      return -1;
    }
    return place;
  }

  VAL* GetPtr(KEY key, KEY* storedKeyOut = nullptr) const {
    int place;
    if (!Find(key, &place)) return nullptr;
    KeyValue* pair = mData.Get() + place;
    if (storedKeyOut) *storedKeyOut = pair->key;
    return &pair->value;
  }

  VAL Get(KEY key, VAL notFound = VAL()) const {
    VAL* value = GetPtr(key);
    return value ? *value : notFound;
  }

  int GetSize() const { return mData.GetSize(); }

  void DeleteAll(bool resizeDown = false) {
    if (mKeyDispose || mValueDispose) {
      for (int i = 0; i < mData.GetSize(); ++i) {
        KeyValue* pair = mData.Get() + i;
        if (mKeyDispose) mKeyDispose(pair->key);
        if (mValueDispose) mValueDispose(pair->value);
      }
    }
    mData.Resize(0, resizeDown);
  }

 private:
  struct KeyValue {
    KEY key;
    VAL value;
  };

  // True when found at *place; otherwise *place is where the key belongs.
  bool Find(KEY key, int* place) const {
    int lo = 0;
    int hi = mData.GetSize();
    while (lo != hi) {
      const int mid = (lo + hi) / 2;
      const int order = mCompare(&key, &mData.Get()[mid].key);
      if (order > 0) {
        lo = mid + 1;
      } else if (order < 0) {
        hi = mid;
      } else {
        *place = mid;
        return true;
      }
    }
    *place = lo;
    return false;
  }

  WDL_TypedBuf<KeyValue> mData;
  const Compare mCompare;
  const KeyDuplicate mKeyDuplicate;
  const KeyDispose mKeyDispose;
  const ValueDispose mValueDispose;
};
