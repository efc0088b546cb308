// Prints what this process sees as its main bundle: identifier, then path.
#include <climits>
#include <cstdio>

#include "platform/CoreFoundation.h"

int main() {
  CFBundleRef bundle = CFBundleGetMainBundle();
  CFStringRef identifier = CFBundleGetIdentifier(bundle);
  const char* text =
      identifier ? CFStringGetCStringPtr(identifier, kCFStringEncodingUTF8) : nullptr;
  UInt8 path[PATH_MAX] = "";
  CFURLRef url = CFBundleCopyBundleURL(bundle);
  CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
  CFRelease(url);
  std::printf("%s\n%s\n", text ? text : "(none)", reinterpret_cast<const char*>(path));
  return 0;
}
