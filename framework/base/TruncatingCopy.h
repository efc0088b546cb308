#pragma once

#include <cstring>

// Copies at most dstSize - 1 characters of src and always terminates dst;
// a null src copies as the empty text.
inline void TruncatingCopy(char* dst, int dstSize, const char* src) {
  if (!dst || dstSize < 1) return;
  size_t n = 0;
  if (src) n = strnlen(src, static_cast<size_t>(dstSize - 1));
  memmove(dst, src ? src : "", n);
  dst[n] = 0;
}

template <int N>
void TruncatingCopy(char (&dst)[N], const char* src) {
  TruncatingCopy(dst, N, src);
}
