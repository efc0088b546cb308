#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform_detail {

void AppendUtf8(std::string& out, unsigned long codePoint);
// Number of UTF-16 units of valid UTF-8, or -1 when the text is not valid.
long Utf16Length(std::string_view text);
// Valid UTF-8 with every invalid byte replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

}  // namespace platform_detail
