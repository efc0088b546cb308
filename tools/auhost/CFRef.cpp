#include "tools/auhost/CFRef.h"

#include <vector>

std::string ToStdString(CFTypeRef object) {
  if (!object || CFGetTypeID(object) != CFStringGetTypeID()) return {};
  const auto string = static_cast<CFStringRef>(object);
  if (const char* text = CFStringGetCStringPtr(string, kCFStringEncodingUTF8)) return text;
  std::vector<char> buffer(
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1);
  if (!CFStringGetCString(string, buffer.data(), static_cast<CFIndex>(buffer.size()),
                          kCFStringEncodingUTF8))
    return {};
  return buffer.data();
}
