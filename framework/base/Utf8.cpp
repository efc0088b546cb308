#include "framework/base/Utf8.h"

namespace {

bool isScalarValue(unsigned long code) noexcept {
  return code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

}  // namespace

long DecodeUtf8(std::string_view text, std::size_t& pos) noexcept {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;
  // Sequence length and the smallest code point that needs it.
  std::size_t trail;
  unsigned long code, least;
  if ((lead & 0xE0) == 0xC0) {
    trail = 1, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    trail = 2, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    trail = 3, code = lead & 0x07, least = 0x10000;
  } else {
    return -1;
  }
  if (text.size() - pos < trail) return -1;
  for (std::size_t i = 0; i < trail; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return -1;
    code = code << 6 | (next & 0x3F);
  }
  if (code < least || !isScalarValue(code)) return -1;
  pos += trail;
  return static_cast<long>(code);
}

int EncodeUtf8(unsigned long code, char out[4]) noexcept {
  if (!isScalarValue(code)) code = kReplacementCharacter;
  int n;
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
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
  return n;
}
