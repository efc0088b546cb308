#include "framework/plugin/ByteChunk.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "framework/base/WDL_String.h"

int ByteChunk::PutBytes(const void* buf, int size) {
  const int oldSize = Size();
  if (size < 0 || (size > 0 && !buf) || size > INT_MAX - oldSize) return -1;
  if (size == 0) return oldSize;
  unsigned char* bytes = mBytes.ResizeOK(oldSize + size, false);
  if (!bytes) return -1;
  memcpy(bytes + oldSize, buf, static_cast<size_t>(size));
  return Size();
}

int ByteChunk::PutStr(const char* str) {
  const size_t length = str ? strlen(str) : 0;
  if (length > static_cast<size_t>(INT_MAX - 4)) return -1;
  const int32_t n = static_cast<int32_t>(length);
  const int oldSize = Size();
  if (Put(&n) < 0) return -1;
  if (PutBytes(str, n) < 0) {
    mBytes.Resize(oldSize, false);
    return -1;
  }
  return Size();
}

int ByteChunk::PutBool(bool b) {
  const unsigned char byte = b ? 1 : 0;
  return PutBytes(&byte, 1);
}

int ByteChunk::PutChunk(const ByteChunk* other) {
  if (!other) return -1;
  return PutBytes(other->GetBytes(), other->Size());
}

int ByteChunk::GetBytes(void* buf, int size, int startPos) const {
  if (startPos < 0 || size < 0 || static_cast<long long>(startPos) + size > Size()) return -1;
  if (size > 0) {
    if (!buf) return -1;
    memcpy(buf, mBytes.Get() + startPos, static_cast<size_t>(size));
  }
  return startPos + size;
}

int ByteChunk::GetBool(bool* b, int startPos) const {
  unsigned char byte = 0;
  const int pos = GetBytes(&byte, 1, startPos);
  if (pos >= 0 && b) *b = byte != 0;
  return pos;
}

int ByteChunk::GetStr(WDL_String* str, int startPos) const {
  int32_t length = 0;
  const int pos = Get(&length, startPos);
  if (pos < 0 || length < 0) return -1;
  const long long end = static_cast<long long>(pos) + length;
  if (end > INT_MAX) return -1;
  if (end <= Size() && length >= 1 && str) {
    str->Set(reinterpret_cast<const char*>(mBytes.Get() + pos), length);
  }
  return static_cast<int>(end);
}

int ByteChunk::Resize(int newSize) {
  const int oldSize = Size();
  if (newSize < 0) newSize = 0;
  unsigned char* bytes = mBytes.Resize(newSize);
  if (bytes && Size() > oldSize) memset(bytes + oldSize, 0, static_cast<size_t>(Size() - oldSize));
  return oldSize;
}

bool ByteChunk::IsEqual(const ByteChunk& other) const {
  return Size() == other.Size() && (!Size() || !memcmp(GetBytes(), other.GetBytes(), Size()));
}
