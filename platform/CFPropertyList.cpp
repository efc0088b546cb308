#include <plist/plist.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/CFArray.h"
#include "platform/CFDictionary.h"
#include "platform/CFNumber.h"
#include "platform/CFPropertyList.h"
#include "platform/CFString.h"
#include "platform/detail/CFErrorUtil.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/XmlNestingBound.h"

namespace {

// Deeper documents are refused, so that neither conversion can exhaust the
// stack on hostile input.
constexpr int kMaxDepth = 512;

struct PlistFree {
  void operator()(void* node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

plist_t ToPlist(CFTypeRef value, int depth);

plist_t DictionaryToPlist(CFDictionaryRef dictionary, int depth) {
  const CFIndex count = CFDictionaryGetCount(dictionary);
  std::vector<const void*> keys(static_cast<size_t>(count));
  std::vector<const void*> values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
  std::vector<std::pair<std::string, const void*>> entries;
  for (CFIndex i = 0; i < count; ++i) {
    if (CFGetTypeID(keys[i]) != CFStringGetTypeID()) return nullptr;
    std::string key = platform_detail::StringValue(keys[i]);
    if (key.find('\0') != std::string::npos) return nullptr;
    entries.emplace_back(std::move(key), values[i]);
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  PlistPtr node(plist_new_dict());
  for (const auto& [key, value] : entries) {
    plist_t child = ToPlist(value, depth + 1);
    if (!child) return nullptr;
    plist_dict_set_item(node.get(), key.c_str(), child);
  }
  return node.release();
}

plist_t ToPlist(CFTypeRef value, int depth) {
  if (depth > kMaxDepth) return nullptr;
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFStringGetTypeID()) {
    const std::string text = platform_detail::StringValue(value);
    if (text.find('\0') != std::string::npos) return nullptr;
    return plist_new_string(text.c_str());
  }
  if (type == CFNumberGetTypeID()) {
    const auto number = static_cast<CFNumberRef>(value);
    if (CFNumberIsFloatType(number)) {
      Float64 real = 0;
      CFNumberGetValue(number, kCFNumberFloat64Type, &real);
      return plist_new_real(real);
    }
    SInt64 integer = 0;
    CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
    return plist_new_uint(static_cast<uint64_t>(integer));
  }
  if (type == CFBooleanGetTypeID()) {
    return plist_new_bool(CFBooleanGetValue(static_cast<CFBooleanRef>(value)) ? 1 : 0);
  }
  if (type == CFDataGetTypeID()) {
    const auto data = static_cast<CFDataRef>(value);
    return plist_new_data(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                          static_cast<uint64_t>(CFDataGetLength(data)));
  }
  if (type == CFArrayGetTypeID()) {
    const auto array = static_cast<CFArrayRef>(value);
    PlistPtr node(plist_new_array());
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
      plist_t child = ToPlist(CFArrayGetValueAtIndex(array, i), depth + 1);
      if (!child) return nullptr;
      plist_array_append_item(node.get(), child);
    }
    return node.release();
  }
  if (type == CFDictionaryGetTypeID()) {
    return DictionaryToPlist(static_cast<CFDictionaryRef>(value), depth);
  }
  return nullptr;
}

CFTypeRef FromPlist(plist_t node, int depth);

CFTypeRef DictionaryFromPlist(plist_t node, int depth) {
  CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(node, &iter);
  bool ok = iter != nullptr;
  while (ok) {
    char* key = nullptr;
    plist_t child = nullptr;
    plist_dict_next_item(node, iter, &key, &child);
    if (!child) {
      std::free(key);
      break;
    }
    CFStringRef cfKey = key ? platform_detail::NewString(key) : nullptr;
    std::free(key);
    CFTypeRef cfValue = cfKey ? FromPlist(child, depth + 1) : nullptr;
    if (cfValue) CFDictionarySetValue(dictionary, cfKey, cfValue);
    ok = cfValue != nullptr;
    CFRelease(cfKey);
    CFRelease(cfValue);
  }
  std::free(iter);
  if (!ok) {
    CFRelease(dictionary);
    return nullptr;
  }
  return dictionary;
}

CFTypeRef FromPlist(plist_t node, int depth) {
  if (!node || depth > kMaxDepth) return nullptr;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return value ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      const SInt64 integer = static_cast<SInt64>(value);
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &integer);
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
    }
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      // The text is in memory, so its length fits a size_t.
      const size_t size = static_cast<size_t>(length);
      // XML has no NUL character, and a string holding one could not be
      // written back.
      if (!text || std::memchr(text, '\0', size)) return nullptr;
      return platform_detail::NewString(std::string_view(text, size));
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      static const UInt8 kEmpty = 0;
      return CFDataCreate(nullptr, bytes ? reinterpret_cast<const UInt8*>(bytes) : &kEmpty,
                          bytes ? static_cast<CFIndex>(length) : 0);
    }
    case PLIST_ARRAY: {
      CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
      const uint32_t count = plist_array_get_size(node);
      for (uint32_t i = 0; i < count; ++i) {
        CFTypeRef child = FromPlist(plist_array_get_item(node, i), depth + 1);
        if (!child) {
          CFRelease(array);
          return nullptr;
        }
        CFArrayAppendValue(array, child);
        CFRelease(child);
      }
      return array;
    }
    case PLIST_DICT:
      return DictionaryFromPlist(node, depth);
    default:
      return nullptr;  // dates, UIDs and keys have no CF counterpart here
  }
}

}  // namespace

CFDataRef CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef propertyList,
                                   CFPropertyListFormat format, CFOptionFlags, CFErrorRef* error) {
  if (format != kCFPropertyListXMLFormat_v1_0) {
    platform_detail::SetError(error, kCFPropertyListWriteInvalidError,
                              "only the XML property list format is offered");
    return nullptr;
  }
  PlistPtr root(ToPlist(propertyList, 0));
  if (!root) {
    platform_detail::SetError(error, kCFPropertyListWriteInvalidError,
                              "value is not a property list");
    return nullptr;
  }
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root.get(), &xml, &length);
  if (!xml) {
    platform_detail::SetError(error, kCFPropertyListWriteStreamError, "XML writer failed");
    return nullptr;
  }
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(xml), length);
  plist_to_xml_free(xml);
  return data;
}

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data, CFOptionFlags,
                                               CFPropertyListFormat* format, CFErrorRef* error) {
  const CFIndex length = CFGetTypeID(data) == CFDataGetTypeID() ? CFDataGetLength(data) : -1;
  const char* bytes = reinterpret_cast<const char*>(CFDataGetBytePtr(data));
  if (length <= 0 || length > 0x7FFFFFFF) {
    platform_detail::SetError(error, kCFPropertyListReadCorruptError, "no property list data");
    return nullptr;
  }
  const size_t size = static_cast<size_t>(length);
  if (plist_is_binary(bytes, static_cast<uint32_t>(size))) {
    platform_detail::SetError(error, kCFPropertyListReadUnknownVersionError,
                              "binary property lists are not read");
    return nullptr;
  }
  if (platform_detail::XmlNestingBound(std::string_view(bytes, size)) >
      static_cast<size_t>(kMaxDepth)) {
    platform_detail::SetError(error, kCFPropertyListReadCorruptError, "nesting too deep");
    return nullptr;
  }
  // The parser gets a NUL-terminated copy: it is not built with our
  // sanitizers, so an overread would go unseen.
  const std::string text(bytes, size);
  plist_t root = nullptr;
  plist_from_xml(text.c_str(), static_cast<uint32_t>(size), &root);
  PlistPtr owner(root);
  CFTypeRef result = FromPlist(root, 0);
  if (!result) {
    platform_detail::SetError(error, kCFPropertyListReadCorruptError,
                              "data is not a readable XML property list");
    return nullptr;
  }
  if (format) *format = kCFPropertyListXMLFormat_v1_0;
  return result;
}
