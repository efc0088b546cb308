#include <unistd.h>
#include <climits>
#include <cstring>
#include <functional>
#include <string>

#include "platform/CFURL.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/Utf8.h"

namespace platform_detail {
namespace {

class URLObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kURLTypeID;
  URLObject(std::string path, bool isDirectory)
      : CFObject(ClassOf<URLObject>(), false), mPath(std::move(path)), mIsDirectory(isDirectory) {}

  bool Equals(const CFObject& other) const {
    const auto& that = static_cast<const URLObject&>(other);
    return mPath == that.mPath && mIsDirectory == that.mIsDirectory;
  }
  CFHashCode Hash() const { return std::hash<std::string>()(mPath); }
  std::string Describe() const {
    return "file://" + mPath + (mIsDirectory && mPath != "/" ? "/" : "");
  }

  const std::string mPath;  // absolute, no trailing "/" except for the root
  const bool mIsDirectory;
};

CFURLRef NewURL(std::string path, bool isDirectory) {
  if (path.empty() || Utf16Length(path) < 0 || path.find('\0') != std::string::npos) {
    return nullptr;
  }
  if (path[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return nullptr;
    path = std::string(cwd) + "/" + path;
  }
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  auto* url = new URLObject(std::move(path), isDirectory);
  return reinterpret_cast<CFURLRef>(static_cast<CFObject*>(url));
}

}  // namespace
}  // namespace platform_detail

using platform_detail::As;
using platform_detail::URLObject;

CFTypeID CFURLGetTypeID(void) {
  return platform_detail::kURLTypeID;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory) {
  if (pathStyle != kCFURLPOSIXPathStyle || CFGetTypeID(filePath) != CFStringGetTypeID()) {
    return nullptr;
  }
  return platform_detail::NewURL(platform_detail::StringValue(filePath), isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory) {
  if (!buffer || bufLen <= 0) return nullptr;
  return platform_detail::NewURL(
      std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen)), isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
  const auto* object = As<URLObject>(url);
  if (!object || !buffer || maxBufLen <= static_cast<CFIndex>(object->mPath.size())) return false;
  std::memcpy(buffer, object->mPath.c_str(), object->mPath.size() + 1);
  return true;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
  const auto* object = As<URLObject>(anURL);
  if (!object || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return platform_detail::NewString(object->mPath);
}
