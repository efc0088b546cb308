#include "framework/au/AUStateDict.h"

#include <cstring>

#include "framework/au/CFStrings.h"
#include "platform/CFData.h"

namespace {
// The value under key when it has the given type, else null.
CFTypeRef TypedValue(CFDictionaryRef dict, const char* key, CFTypeID type) {
  CFStrLocal cfKey(key);
  const void* value = nullptr;
  if (!dict || !CFDictionaryGetValueIfPresent(dict, cfKey.Get(), &value)) return nullptr;
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

void PutValue(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
  if (!value) return;
  CFStrLocal cfKey(key);
  CFDictionarySetValue(dict, cfKey.Get(), value);
  CFRelease(value);
}
}  // namespace

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* number,
                     CFNumberType type) {
  PutValue(dict, key, CFNumberCreate(kCFAllocatorDefault, type, number));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text) {
  PutValue(dict, key, MakeCFString(text));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk) {
  PutValue(dict, key, CFDataCreate(kCFAllocatorDefault, chunk->GetBytes(), chunk->Size()));
}

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* number, CFNumberType type) {
  CFTypeRef value = TypedValue(dict, key, CFNumberGetTypeID());
  if (!value) return false;
  CFNumberGetValue(static_cast<CFNumberRef>(value), type, number);
  return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk) {
  CFTypeRef value = TypedValue(dict, key, CFDataGetTypeID());
  if (!value) return false;
  const CFDataRef data = static_cast<CFDataRef>(value);
  const CFIndex length = CFDataGetLength(data);
  if (length > 0x7FFFFFFF) return false;
  chunk->Resize(static_cast<int>(length));
  if (chunk->Size() != length) return false;
  if (length > 0) memcpy(chunk->GetBytes(), CFDataGetBytePtr(data), static_cast<size_t>(length));
  return true;
}

bool DictHasKey(CFDictionaryRef dict, const char* key) {
  CFStrLocal cfKey(key);
  return dict && CFDictionaryContainsKey(dict, cfKey.Get());
}

CFStringRef GetStrFromDict(CFDictionaryRef dict, const char* key) {
  return static_cast<CFStringRef>(TypedValue(dict, key, CFStringGetTypeID()));
}
