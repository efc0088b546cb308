#pragma once

#include <string>
#include <string_view>

#include "platform/CFString.h"

namespace platform_detail {

// A new CFString holding the UTF-8 text; null for invalid UTF-8.
CFStringRef NewString(std::string_view utf8);
// The UTF-8 text of a CFString; empty for null or a non-string.
std::string StringValue(CFTypeRef string);

}  // namespace platform_detail
