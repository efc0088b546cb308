#include "framework/base/ParseNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>

bool ParseFiniteDouble(const char* text, double* value) {
  if (!text || !value) return false;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
    ++text;
  // from_chars takes a minus sign but not a plus.
  if (*text == '+' && text[1] != '-') ++text;
  double parsed = 0.0;
  const auto [end, error] =
      std::from_chars(text, text + std::strlen(text), parsed, std::chars_format::general);
  if (error != std::errc() || end == text || !std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}
