#pragma once

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "platform/CoreFoundation.h"
#include "platform/HostComponents.h"
#include "tests/platform/recording_unit/RecordingUnit.h"
#include "tools/auhost/CFRef.h"

namespace platform_test {

inline std::string BundlesDir() {
  return PLATFORM_TEST_BUNDLES;
}

// Points the component search at the given AUDIOUNIT_PATH, with a HOME that
// holds no components, and searches again.
inline void UseSearchPath(const std::string& path) {
  const std::string home = BundlesDir() + "/empty-home";
  mkdir(home.c_str(), 0755);
  setenv("HOME", home.c_str(), 1);
  setenv("AUDIOUNIT_PATH", path.c_str(), 1);
  HostRescanComponents();
}

inline CFStringRef NewString(const char* text) {
  return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
}

inline std::string Text(CFStringRef string) {
  const char* text = CFStringGetCStringPtr(string, kCFStringEncodingUTF8);
  return text ? text : "";
}

inline ComponentDescription Description(OSType type, OSType subtype, OSType manufacturer) {
  ComponentDescription description = {type, subtype, manufacturer, 0, 0};
  return description;
}

constexpr OSType Code(const char (&text)[5]) {
  return (OSType(UInt8(text[0])) << 24) | (OSType(UInt8(text[1])) << 16) |
         (OSType(UInt8(text[2])) << 8) | OSType(UInt8(text[3]));
}

// The call log of the recording unit loaded from one bundle executable;
// invalid while that library is not loaded.
class RecordingLog {
 public:
  explicit RecordingLog(const std::string& executable)
      : mLibrary(dlopen(executable.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    if (!mLibrary) return;
    mCount = reinterpret_cast<RecordingUnitCountProc>(dlsym(mLibrary, "RecordingUnit_CallCount"));
    mCall = reinterpret_cast<RecordingUnitCallProc>(dlsym(mLibrary, "RecordingUnit_Call"));
    mClear = reinterpret_cast<RecordingUnitClearProc>(dlsym(mLibrary, "RecordingUnit_Clear"));
  }
  ~RecordingLog() {
    if (mLibrary) dlclose(mLibrary);
  }
  RecordingLog(const RecordingLog&) = delete;
  RecordingLog& operator=(const RecordingLog&) = delete;

  bool Valid() const { return mCount && mCall && mClear; }
  int Count() const { return mCount(); }
  const RecordedCall* Call(int index) const { return mCall(index); }
  const RecordedCall* Last() const { return mCall(mCount() - 1); }
  void Clear() const { mClear(); }

 private:
  void* mLibrary;
  RecordingUnitCountProc mCount = nullptr;
  RecordingUnitCallProc mCall = nullptr;
  RecordingUnitClearProc mClear = nullptr;
};

inline std::string AlphaExecutable() {
  return BundlesDir() + "/first/Alpha.component/Contents/MacOS/RecordingUnit";
}

}  // namespace platform_test
