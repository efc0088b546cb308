#include <cstdio>
#include <cstdlib>

#include "platform/CFBase.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/CFTypeCallBacks.h"

namespace platform_detail {

std::string CFObject::Describe() const {
  char text[64];
  std::snprintf(text, sizeof text, "<CFType %p [type %lu]>", static_cast<const void*>(this),
                static_cast<unsigned long>(mClass->typeID));
  return text;
}

const CFObject* AsObject(CFTypeRef cf) {
  if (!cf) return nullptr;
  const CFObject* object = static_cast<const CFObject*>(cf);
  return object->mMagic == CFObject::kMagic ? object : nullptr;
}

std::string Describe(CFTypeRef cf) {
  if (const CFObject* object = AsObject(cf)) return object->mClass->describe(*object);
  char text[32];
  std::snprintf(text, sizeof text, "<%p>", cf);
  return text;
}

namespace {

class Allocator final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kAllocatorTypeID;
  explicit Allocator(bool null) : CFObject(ClassOf<Allocator>(), true), mIsNull(null) {}
  std::string Describe() const { return mIsNull ? "<CFAllocator null>" : "<CFAllocator>"; }
  const bool mIsNull;
};

Allocator gSystemAllocator(false);
Allocator gMallocAllocator(false);
Allocator gNullAllocator(true);

}  // namespace
}  // namespace platform_detail

using platform_detail::AsObject;
using platform_detail::CFObject;

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault =
    reinterpret_cast<CFAllocatorRef>(static_cast<CFObject*>(&platform_detail::gSystemAllocator));
const CFAllocatorRef kCFAllocatorMalloc =
    reinterpret_cast<CFAllocatorRef>(static_cast<CFObject*>(&platform_detail::gMallocAllocator));
const CFAllocatorRef kCFAllocatorNull =
    reinterpret_cast<CFAllocatorRef>(static_cast<CFObject*>(&platform_detail::gNullAllocator));

CFTypeID CFAllocatorGetTypeID(void) {
  return platform_detail::kAllocatorTypeID;
}

CFAllocatorRef CFAllocatorGetDefault(void) {
  return kCFAllocatorSystemDefault;
}

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags) {
  if (size <= 0 || allocator == kCFAllocatorNull) return nullptr;
  return std::malloc(static_cast<size_t>(size));
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr) {
  if (allocator == kCFAllocatorNull) return;
  std::free(ptr);
}

CFTypeRef CFRetain(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  if (!object) return nullptr;
  if (!object->mImmortal) const_cast<CFObject*>(object)->mRetainCount.fetch_add(1);
  return cf;
}

void CFRelease(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  if (!object || object->mImmortal) return;
  auto* mutableObject = const_cast<CFObject*>(object);
  if (mutableObject->mRetainCount.fetch_sub(1) == 1) object->mClass->destroy(mutableObject);
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  if (!object) return 0;
  return object->mImmortal ? 0x7FFFFFFF : object->mRetainCount.load();
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  return object ? object->mClass->typeID : 0;
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
  const CFObject* a = AsObject(cf1);
  const CFObject* b = AsObject(cf2);
  if (!a || !b) return false;
  if (a == b) return true;
  return a->mClass == b->mClass && a->mClass->equals(*a, *b);
}

CFHashCode CFHash(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  return object ? object->mClass->hash(*object) : 0;
}

CFStringRef CFCopyDescription(CFTypeRef cf) {
  if (!AsObject(cf)) return nullptr;
  return platform_detail::NewString(platform_detail::Describe(cf));
}

namespace platform_detail {

const void* RetainCFValue(CFAllocatorRef, const void* value) {
  return CFRetain(value);
}

void ReleaseCFValue(CFAllocatorRef, const void* value) {
  CFRelease(value);
}

Boolean EqualCFValues(const void* a, const void* b) {
  return CFEqual(a, b);
}

CFHashCode HashCFValue(const void* value) {
  return CFHash(value);
}

std::string DescribeValue(CFStringRef (*copyDescription)(const void*), const void* value) {
  if (!copyDescription) {
    char text[32];
    std::snprintf(text, sizeof text, "<%p>", value);
    return text;
  }
  CFStringRef description = copyDescription(value);
  std::string text = StringValue(description);
  CFRelease(description);
  return text;
}

}  // namespace platform_detail
