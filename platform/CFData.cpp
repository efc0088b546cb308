#include <cstdio>
#include <vector>

#include "platform/CFData.h"
#include "platform/detail/CFObject.h"

namespace platform_detail {
namespace {

class DataObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kDataTypeID;
  DataObject(const UInt8* bytes, size_t length)
      : CFObject(ClassOf<DataObject>(), false), mBytes(bytes, bytes + length) {}

  bool Equals(const CFObject& other) const {
    return mBytes == static_cast<const DataObject&>(other).mBytes;
  }
  CFHashCode Hash() const {
    CFHashCode hash = mBytes.size();
    for (size_t i = 0; i < mBytes.size() && i < 64; ++i)
      hash = hash * 31 + mBytes[i];
    return hash;
  }
  std::string Describe() const {
    std::string text = "<";
    char hex[4];
    for (size_t i = 0; i < mBytes.size(); ++i) {
      if (i > 0 && i % 4 == 0) text += ' ';
      std::snprintf(hex, sizeof hex, "%02x", mBytes[i]);
      text += hex;
    }
    return text + ">";
  }

  const std::vector<UInt8> mBytes;
};

const UInt8 kNoBytes = 0;

}  // namespace
}  // namespace platform_detail

using platform_detail::As;
using platform_detail::DataObject;

CFTypeID CFDataGetTypeID(void) {
  return platform_detail::kDataTypeID;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (!bytes && length > 0)) return nullptr;
  auto* data =
      new DataObject(length ? bytes : &platform_detail::kNoBytes, static_cast<size_t>(length));
  return reinterpret_cast<CFDataRef>(static_cast<platform_detail::CFObject*>(data));
}

CFIndex CFDataGetLength(CFDataRef theData) {
  const auto* data = As<DataObject>(theData);
  return data ? static_cast<CFIndex>(data->mBytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef theData) {
  const auto* data = As<DataObject>(theData);
  if (!data) return nullptr;
  return data->mBytes.empty() ? &platform_detail::kNoBytes : data->mBytes.data();
}
