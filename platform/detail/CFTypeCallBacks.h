#pragma once

#include <string>

#include "platform/CFBase.h"

namespace platform_detail {

// The callbacks containers use for CF-typed values.
const void* RetainCFValue(CFAllocatorRef allocator, const void* value);
void ReleaseCFValue(CFAllocatorRef allocator, const void* value);
Boolean EqualCFValues(const void* a, const void* b);
CFHashCode HashCFValue(const void* value);

// A container element's description through its copyDescription callback,
// or by address without one.
std::string DescribeValue(CFStringRef (*copyDescription)(const void*), const void* value);

}  // namespace platform_detail
