#include "WDL_String.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kStringGranularity = 128;

int TakenLength(const char* text, int maxLen) {
  if (!text) return 0;
  if (maxLen > 0) return static_cast<int>(strnlen(text, static_cast<size_t>(maxLen)));
  return static_cast<int>(strlen(text));
}

bool PointsInto(const char* p, const char* buf, int size) {
  const auto at = reinterpret_cast<uintptr_t>(p);
  const auto begin = reinterpret_cast<uintptr_t>(buf);
  return buf && at >= begin && at < begin + static_cast<uintptr_t>(size);
}
}  // namespace

WDL_String::WDL_String(const char* initial, int maxLen) : mHeap(kStringGranularity) {
  if (initial) Set(initial, maxLen);
}

WDL_String::WDL_String(const WDL_String& other) : mHeap(kStringGranularity) {
  Set(other.Get());
}

WDL_String& WDL_String::operator=(const WDL_String& other) {
  Set(&other);
  return *this;
}

void WDL_String::Set(const char* text, int maxLen) {
  Store(text, TakenLength(text, maxLen), 0, 0);
}

void WDL_String::Set(const WDL_String* other, int maxLen) {
  Set(other ? other->Get() : nullptr, maxLen);
}

void WDL_String::Append(const char* text, int maxLen) {
  Store(text, TakenLength(text, maxLen), GetLength(), 0);
}

void WDL_String::Store(const char* source, int length, int offset, int keep) {
  if (length == 0 && keep == 0 && offset == 0) {
    if (char* buf = static_cast<char*>(mHeap.ResizeOK(1, false))) buf[0] = 0;
    return;
  }
  if (length < 1 || offset < 0) return;

  const long long total = static_cast<long long>(offset) + length + keep;
  if (total + 1 > INT32_MAX) return;
  if (mHeap.GetSize() < total + 1) {
    const char* old = Buffer();
    const bool sourceInside = PointsInto(source, old, mHeap.GetSize());
    const ptrdiff_t sourceOffset = sourceInside ? source - old : 0;
    mHeap.Resize(static_cast<int>(total) + 1, false);
    if (sourceInside) source = Buffer() + sourceOffset;
  }
  if (mHeap.GetSize() < total + 1) return;

  char* buf = Buffer();
  memmove(buf + offset + length, buf + offset, static_cast<size_t>(keep));
  memmove(buf + offset, source, static_cast<size_t>(length));
  buf[total] = 0;
  if (mHeap.GetSize() > total + 1) mHeap.Resize(static_cast<int>(total) + 1, false);
}

void WDL_String::SetLen(int length, bool resizeDown) {
  if (length < 0) length = 0;
  const int oldSize = mHeap.GetSize();
  char* buf = static_cast<char*>(mHeap.ResizeOK(length + 1, resizeDown));
  if (!buf) return;
  // Bytes the extension added carry no characters; never expose them unset.
  if (length + 1 > oldSize) memset(buf + oldSize, 0, static_cast<size_t>(length + 1 - oldSize));
  buf[length] = 0;
}

void WDL_String::DeleteSub(int position, int count) {
  const int last = mHeap.GetSize() - 1;
  if (last < 1 || position < 0 || position >= last) return;
  if (count > last - position) count = last - position;
  if (count <= 0) return;
  char* buf = Buffer();
  memmove(buf + position, buf + position + count, static_cast<size_t>(last - position - count + 1));
  mHeap.Resize(mHeap.GetSize() - count, false);
}

void WDL_String::SetFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SetAppendFormattedArgs(false, maxLen, format, args);
  va_end(args);
}

void WDL_String::AppendFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SetAppendFormattedArgs(true, maxLen, format, args);
  va_end(args);
}

void WDL_String::SetAppendFormattedArgs(bool append, int maxLen, const char* format, va_list args) {
  if (maxLen < 0) maxLen = 0;
  const int start = append ? GetLength() : 0;
  if (static_cast<long long>(start) + maxLen + 1 > INT32_MAX) return;
  char* buf = static_cast<char*>(mHeap.ResizeOK(start + maxLen + 1, false));
  if (!buf) return;
  int written = vsnprintf(buf + start, static_cast<size_t>(maxLen) + 1, format, args);
  if (written < 0) written = 0;  // a formatting error leaves what came before
  if (written > maxLen) written = maxLen;
  buf[start + written] = 0;
  mHeap.Resize(start + written + 1, false);
}

const char* WDL_String::Get() const {
  const char* buf = Buffer();
  return buf ? buf : "";
}

int WDL_String::GetLength() const {
  const char* buf = Buffer();
  return buf ? static_cast<int>(strlen(buf)) : 0;
}
