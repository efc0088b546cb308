#pragma once

#include <string>
#include <utility>

#include "platform/CoreFoundation.h"

// Owns one reference to a CF object: the one owning wrapper of the host
// side, the tool's and the tests' alike.
template <typename T>
class CFRef {
 public:
  CFRef() = default;
  explicit CFRef(T object) : mObject(object) {}
  ~CFRef() { reset(); }
  CFRef(CFRef&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
  CFRef& operator=(CFRef&& other) noexcept {
    if (this != &other) {
      reset();
      mObject = std::exchange(other.mObject, nullptr);
    }
    return *this;
  }
  CFRef(const CFRef&) = delete;
  CFRef& operator=(const CFRef&) = delete;

  T get() const { return mObject; }
  // Passes as the object itself to the calls that take it.
  operator T() const { return mObject; }
  explicit operator bool() const { return mObject != nullptr; }
  void reset(T object = nullptr) {
    if (mObject) CFRelease(mObject);
    mObject = object;
  }

 private:
  T mObject = nullptr;
};

inline CFRef<CFStringRef> MakeCFString(const std::string& text) {
  return CFRef<CFStringRef>(
      CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8));
}

// UTF-8 text of a string; empty for null or a non-string.
std::string ToStdString(CFTypeRef string);
