#include <string>

#include "platform/CFError.h"
#include "platform/detail/CFErrorUtil.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"

namespace platform_detail {
namespace {

class ErrorObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kErrorTypeID;
  ErrorObject(CFStringRef domain, CFIndex code, std::string description)
      : CFObject(ClassOf<ErrorObject>(), false),
        mDomain(domain),
        mCode(code),
        mDescription(std::move(description)) {}

  std::string Describe() const { return mDescription; }

  const CFStringRef mDomain;  // a CFSTR constant
  const CFIndex mCode;
  const std::string mDescription;
};

}  // namespace

void SetError(CFErrorRef* error, CFIndex code, const std::string& description) {
  if (!error) return;
  auto* object = new ErrorObject(kCFErrorDomainCocoa, code, description);
  *error = reinterpret_cast<CFErrorRef>(static_cast<CFObject*>(object));
}

}  // namespace platform_detail

using platform_detail::As;
using platform_detail::ErrorObject;

const CFStringRef kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");

CFTypeID CFErrorGetTypeID(void) {
  return platform_detail::kErrorTypeID;
}

CFIndex CFErrorGetCode(CFErrorRef err) {
  const auto* error = As<ErrorObject>(err);
  return error ? error->mCode : 0;
}

CFStringRef CFErrorGetDomain(CFErrorRef err) {
  const auto* error = As<ErrorObject>(err);
  return error ? error->mDomain : nullptr;
}

CFStringRef CFErrorCopyDescription(CFErrorRef err) {
  const auto* error = As<ErrorObject>(err);
  return error ? platform_detail::NewString(error->mDescription) : nullptr;
}
