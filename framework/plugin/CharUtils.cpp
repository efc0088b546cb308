#include "framework/plugin/CharUtils.h"

#include <cctype>

bool IsWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void ToLower(char* dst, const char* src) {
  while (*src)
    *dst++ = static_cast<char>(tolower(static_cast<unsigned char>(*src++)));
  *dst = 0;
}
