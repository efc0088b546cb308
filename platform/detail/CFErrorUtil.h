#pragma once

#include <string>

#include "platform/CFError.h"

namespace platform_detail {

// Stores a new Cocoa-domain error in *error when error is not null.
void SetError(CFErrorRef* error, CFIndex code, const std::string& description);

}  // namespace platform_detail
