#include <algorithm>
#include <vector>

#include "platform/CFArray.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFTypeCallBacks.h"

namespace platform_detail {
namespace {

class ArrayObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kArrayTypeID;
  ArrayObject(CFAllocatorRef allocator, const CFArrayCallBacks* callBacks)
      : CFObject(ClassOf<ArrayObject>(), false), mAllocator(allocator) {
    if (callBacks) mCallBacks = *callBacks;
  }
  ~ArrayObject() { RemoveAll(); }

  bool Equals(const CFObject& other) const {
    const auto& that = static_cast<const ArrayObject&>(other);
    if (mValues.size() != that.mValues.size()) return false;
    for (size_t i = 0; i < mValues.size(); ++i) {
      if (!Same(mValues[i], that.mValues[i])) return false;
    }
    return true;
  }
  CFHashCode Hash() const { return mValues.size(); }
  std::string Describe() const {
    std::string text = "(\n";
    for (size_t i = 0; i < mValues.size(); ++i) {
      text += "    " + DescribeValue(mCallBacks.copyDescription, mValues[i]);
      text += i + 1 < mValues.size() ? ",\n" : "\n";
    }
    return text + ")";
  }

  bool Same(const void* a, const void* b) const {
    return a == b || (mCallBacks.equal && mCallBacks.equal(a, b));
  }
  void Append(const void* value) {
    mValues.push_back(mCallBacks.retain ? mCallBacks.retain(mAllocator, value) : value);
  }
  void Release(const void* value) {
    if (mCallBacks.release) mCallBacks.release(mAllocator, value);
  }
  void RemoveAll() {
    // Emptied before the release calls, so a callback sees a consistent array.
    std::vector<const void*> values;
    values.swap(mValues);
    for (const void* value : values)
      Release(value);
  }

  const CFAllocatorRef mAllocator;
  CFArrayCallBacks mCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<const void*> mValues;
};

ArrayObject* NewArray(CFAllocatorRef allocator, CFIndex capacity,
                      const CFArrayCallBacks* callBacks) {
  auto* array = new ArrayObject(allocator, callBacks);
  if (capacity > 0) array->mValues.reserve(std::min<CFIndex>(capacity, 1 << 16));
  return array;
}

}  // namespace
}  // namespace platform_detail

using platform_detail::ArrayObject;
using platform_detail::As;

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, platform_detail::RetainCFValue,
                                                platform_detail::ReleaseCFValue, CFCopyDescription,
                                                platform_detail::EqualCFValues};

CFTypeID CFArrayGetTypeID(void) {
  return platform_detail::kArrayTypeID;
}

CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
  if (numValues < 0 || (numValues > 0 && !values)) return nullptr;
  ArrayObject* array = platform_detail::NewArray(allocator, numValues, callBacks);
  for (CFIndex i = 0; i < numValues; ++i)
    array->Append(values[i]);
  return reinterpret_cast<CFArrayRef>(static_cast<platform_detail::CFObject*>(array));
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks) {
  if (capacity < 0) return nullptr;
  ArrayObject* array = platform_detail::NewArray(allocator, capacity, callBacks);
  return reinterpret_cast<CFMutableArrayRef>(static_cast<platform_detail::CFObject*>(array));
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
  const auto* array = As<ArrayObject>(theArray);
  return array ? static_cast<CFIndex>(array->mValues.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
  const auto* array = As<ArrayObject>(theArray);
  if (!array || idx < 0 || idx >= static_cast<CFIndex>(array->mValues.size())) return nullptr;
  return array->mValues[static_cast<size_t>(idx)];
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value) {
  if (auto* array = As<ArrayObject>(theArray)) array->Append(value);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
  auto* array = As<ArrayObject>(theArray);
  if (!array || idx < 0 || idx >= static_cast<CFIndex>(array->mValues.size())) return;
  const void* value = array->mValues[static_cast<size_t>(idx)];
  array->mValues.erase(array->mValues.begin() + idx);
  array->Release(value);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
  if (auto* array = As<ArrayObject>(theArray)) array->RemoveAll();
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const auto* array = As<ArrayObject>(theArray);
  if (!array || range.location < 0 || range.length < 0) return kCFNotFound;
  const CFIndex count = static_cast<CFIndex>(array->mValues.size());
  const CFIndex end = range.length > count - range.location ? count : range.location + range.length;
  for (CFIndex i = range.location; i < end; ++i) {
    if (array->Same(array->mValues[static_cast<size_t>(i)], value)) return i;
  }
  return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value) {
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}
