#include "platform/detail/Utf8.h"

#include "framework/base/Utf8.h"

namespace platform_detail {

void AppendUtf8(std::string& out, unsigned long code) {
  char bytes[4];
  out.append(bytes, static_cast<std::size_t>(EncodeUtf8(code, bytes)));
}

long Utf16Length(std::string_view text) {
  long units = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const long code = DecodeUtf8(text, pos);
    if (code < 0) return -1;
    units += code >= 0x10000 ? 2 : 1;
  }
  return units;
}

std::string RepairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const long code = DecodeUtf8(text, pos);
    AppendUtf8(out, code < 0 ? kReplacementCharacter : static_cast<unsigned long>(code));
  }
  return out;
}

}  // namespace platform_detail
