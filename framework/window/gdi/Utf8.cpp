#include "framework/window/gdi/Utf8.h"

#include "framework/base/Utf8.h"

unsigned int SWELL_Utf8Next(const char* text, int end, int* pos) {
  std::size_t at = static_cast<std::size_t>(*pos);
  const long code = DecodeUtf8(std::string_view(text, static_cast<std::size_t>(end)), at);
  *pos = static_cast<int>(at);
  return static_cast<unsigned int>(code < 0 ? kReplacementCharacter : code);
}

int SWELL_Utf8Encode(unsigned int code, char out[5]) {
  const int n = EncodeUtf8(code, out);
  out[n] = 0;
  return n;
}
