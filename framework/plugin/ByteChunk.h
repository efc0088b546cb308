#pragma once

#include <type_traits>

#include "framework/base/WDL_TypedBuf.h"

class WDL_String;

// A flat byte buffer for state: values in native byte order (little-endian on
// the supported processors), no alignment, positional reads. Every read takes
// a start position and returns the position after what it read, or -1 when
// the read would start before 0 or end past the end. Used on the host's and
// editor's threads, never on the audio thread.
class ByteChunk {
 public:
  ByteChunk() = default;
  ByteChunk(const ByteChunk& other) { PutChunk(&other); }
  ByteChunk& operator=(const ByteChunk& other) {
    if (this != &other) {
      Clear();
      PutChunk(&other);
    }
    return *this;
  }

  // Appends and returns the new size, or -1 when the chunk could not grow
  // (it is then unchanged).
  int PutBytes(const void* buf, int size);
  template <class T>
  int Put(const T* value) {
    static_assert(std::is_arithmetic<T>::value, "chunks hold plain numbers");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }
  // A 32-bit length, then the characters without a terminator.
  int PutStr(const char* str);
  int PutBool(bool b);
  int PutChunk(const ByteChunk* other);

  int GetBytes(void* buf, int size, int startPos) const;
  template <class T>
  int Get(T* value, int startPos) const {
    static_assert(std::is_arithmetic<T>::value, "chunks hold plain numbers");
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }
  // Any non-zero byte reads as true.
  int GetBool(bool* b, int startPos) const;
  // Returns startPos + 4 + the stored length. The string is set only when
  // that end lies within the chunk and the length is at least 1; so a length
  // running past the end returns a position past the chunk, which the next
  // read refuses. A negative length, or one whose end cannot be represented,
  // gives -1: a hostile length must never move a reader backwards.
  int GetStr(WDL_String* str, int startPos) const;

  int Size() const { return mBytes.GetSize(); }
  // Null when empty.
  unsigned char* GetBytes() const { return mBytes.Get(); }
  void Clear() { mBytes.Resize(0); }
  // Bytes added by growth are zero; returns the old size.
  int Resize(int newSize);
  bool IsEqual(const ByteChunk& other) const;

 private:
  WDL_TypedBuf<unsigned char> mBytes;
};
