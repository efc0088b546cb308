#include "framework/plugin/ISysEx.h"

#include <cstddef>

#include "framework/base/MorvexAssert.h"

char* SysExStr(char* str, int maxlen, const unsigned char* data, int size) {
  MORVEX_ASSERT(str != NULL && maxlen >= 3);
  str[0] = 0;
  if (!data || size < 1) return str;
  int n = maxlen / 3;
  if (n > size) n = size;
  static const char kHex[] = "0123456789ABCDEF";
  // 3 * n <= maxlen: the pairs, their blanks and the terminator that replaces
  // the last blank all fit.
  for (int i = 0; i < n; ++i) {
    str[3 * i] = kHex[data[i] >> 4];
    str[3 * i + 1] = kHex[data[i] & 15];
    str[3 * i + 2] = ' ';
  }
  str[3 * n - 1] = 0;
  return str;
}
