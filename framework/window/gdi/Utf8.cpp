#include "framework/window/gdi/Utf8.h"

namespace {

constexpr unsigned int kReplacement = 0xFFFD;

bool isSurrogate(unsigned int code) {
  return code >= 0xD800 && code <= 0xDFFF;
}

}  // namespace

unsigned int SWELL_Utf8Next(const char* text, int end, int* pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const int at = *pos;
  const unsigned int lead = s[at];
  *pos = at + 1;
  if (lead < 0x80) return lead;
  // Sequence length and the smallest code point that needs it.
  int trail;
  unsigned int code, least;
  if ((lead & 0xE0) == 0xC0) {
    trail = 1, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    trail = 2, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    trail = 3, code = lead & 0x07, least = 0x10000;
  } else {
    return kReplacement;
  }
  if (end - at <= trail) return kReplacement;
  for (int i = 1; i <= trail; ++i) {
    if ((s[at + i] & 0xC0) != 0x80) return kReplacement;
    code = code << 6 | (s[at + i] & 0x3F);
  }
  if (code < least || code > 0x10FFFF || isSurrogate(code)) return kReplacement;
  *pos = at + 1 + trail;
  return code;
}

int SWELL_Utf8Encode(unsigned int code, char out[5]) {
  if (code > 0x10FFFF || isSurrogate(code)) code = kReplacement;
  int n;
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    n = 1;
  } else if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | code >> 6);
    n = 2;
  } else if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | code >> 12);
    n = 3;
  } else {
    out[0] = static_cast<char>(0xF0 | code >> 18);
    n = 4;
  }
  for (int i = 1; i < n; ++i)
    out[i] = static_cast<char>(0x80 | ((code >> (6 * (n - 1 - i))) & 0x3F));
  out[n] = 0;
  return n;
}
