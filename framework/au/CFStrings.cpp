#include "framework/au/CFStrings.h"

#include <cstdlib>

CFStringRef MakeCFString(const char* text) {
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

CFStrLocal::~CFStrLocal() {
  if (mCFStr) CFRelease(mCFStr);
}

CStrLocal::CStrLocal(CFStringRef cfStr) {
  if (!cfStr || CFGetTypeID(cfStr) != CFStringGetTypeID()) return;
  const CFIndex size =
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(cfStr), kCFStringEncodingUTF8) + 1;
  mCStr = static_cast<char*>(malloc(static_cast<size_t>(size)));
  if (mCStr && !CFStringGetCString(cfStr, mCStr, size, kCFStringEncodingUTF8)) mCStr[0] = 0;
}

CStrLocal::~CStrLocal() {
  free(mCStr);
}
