#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/CFBase.h"

namespace platform_detail {

enum : CFTypeID {
  kAllocatorTypeID = 1,
  kStringTypeID,
  kNumberTypeID,
  kBooleanTypeID,
  kDataTypeID,
  kArrayTypeID,
  kDictionaryTypeID,
  kURLTypeID,
  kBundleTypeID,
  kErrorTypeID,
  kRunLoopTypeID,
  kRunLoopTimerTypeID,
  kRunLoopObserverTypeID,
  kRunLoopSourceTypeID,
  kFileDescriptorTypeID
};

class CFObject;

// What varies between CF types, as a table rather than virtual functions:
// CFObject stays a standard-layout header whose magic word can be checked on
// any pointer a caller passes.
struct CFClass {
  CFTypeID typeID;
  void (*destroy)(CFObject* object);
  bool (*equals)(const CFObject& a, const CFObject& b);  // same type only
  CFHashCode (*hash)(const CFObject& object);
  std::string (*describe)(const CFObject& object);
};

// Every CF object derives from this, and each class T hands ClassOf<T>() to
// it. T may hide Equals, Hash and Describe; the magic word lets the C
// functions refuse a pointer that is not a CF object; immortal objects
// (allocators, booleans, CFSTR strings, bundles) ignore retain and release.
class CFObject {
 public:
  static constexpr std::uint32_t kMagic = 0x43466F62;  // 'CFob'

  CFObject(const CFClass* cls, bool immortal) : mClass(cls), mImmortal(immortal) {}
  ~CFObject() { mMagic = 0; }
  CFObject(const CFObject&) = delete;
  CFObject& operator=(const CFObject&) = delete;

  bool Equals(const CFObject& other) const { return this == &other; }
  CFHashCode Hash() const { return reinterpret_cast<CFHashCode>(this); }
  std::string Describe() const;

  std::uint32_t mMagic = kMagic;
  const CFClass* const mClass;
  const bool mImmortal;
  std::atomic<CFIndex> mRetainCount{1};
};

template <class T>
const CFClass* ClassOf() {
  static const CFClass cls = {
      T::kTypeID, [](CFObject* object) { delete static_cast<T*>(object); },
      [](const CFObject& a, const CFObject& b) { return static_cast<const T&>(a).Equals(b); },
      [](const CFObject& object) { return static_cast<const T&>(object).Hash(); },
      [](const CFObject& object) { return static_cast<const T&>(object).Describe(); }};
  return &cls;
}

// Null unless cf points at a live CF object.
const CFObject* AsObject(CFTypeRef cf);

// Null unless cf is a CF object of class T (which names its kTypeID).
template <class T>
T* As(CFTypeRef cf) {
  const CFObject* object = AsObject(cf);
  if (!object || object->mClass->typeID != T::kTypeID) return nullptr;
  return static_cast<T*>(const_cast<CFObject*>(object));
}

// The description of any value: CF objects describe themselves, anything else
// (or null) by its address.
std::string Describe(CFTypeRef cf);

}  // namespace platform_detail
