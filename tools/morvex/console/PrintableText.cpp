#include "tools/morvex/console/PrintableText.h"

#include <cstdio>

namespace {

bool isDirectionControl(unsigned long c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::string escape(const char* pattern, unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// The length of the UTF-8 sequence at `at` and its code point; 0 when the
// bytes there are not one.
size_t decode(const std::string& s, size_t at, unsigned long* code) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > s.size()) return 0;
  *code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    *code = (*code << 6) | (byte(at + i) & 0x3F);
  }
  static const unsigned long kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  return *code >= kShortest[length] ? length : 0;
}

}  // namespace

std::string PrintableText(const std::string& utf8) {
  std::string text;
  for (size_t at = 0; at < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[at]);
    if (c < 0x80) {
      text += c < 0x20 || c == 0x7F ? escape("\\x%02lX", c) : std::string(1, utf8[at]);
      ++at;
      continue;
    }
    unsigned long code = 0;
    const size_t length = decode(utf8, at, &code);
    if (length == 0) {
      text += escape("\\x%02lX", c);
      ++at;
    } else if (code < 0xA0 || isDirectionControl(code)) {
      text += escape("\\u{%04lX}", code);
      at += length;
    } else {
      text.append(utf8, at, length);
      at += length;
    }
  }
  return text;
}
