#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "framework/base/Utf8.h"
#include "platform/CFString.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/Utf8.h"

namespace platform_detail {
namespace {

class StringObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kStringTypeID;
  StringObject(std::string utf8, long utf16Length, bool immortal)
      : CFObject(ClassOf<StringObject>(), immortal),
        mUtf8(std::move(utf8)),
        mUtf16Length(utf16Length) {}

  bool Equals(const CFObject& other) const {
    return mUtf8 == static_cast<const StringObject&>(other).mUtf8;
  }
  CFHashCode Hash() const { return std::hash<std::string>()(mUtf8); }
  std::string Describe() const { return mUtf8; }

  const std::string mUtf8;
  const long mUtf16Length;
};

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The UTF-8 form of bytes in a supported encoding; false when they are not
// valid in it.
bool ToUtf8(std::string_view bytes, CFStringEncoding encoding, std::string& out) {
  switch (encoding) {
    case kCFStringEncodingUTF8:
      if (Utf16Length(bytes) < 0) return false;
      out.assign(bytes);
      return true;
    case kCFStringEncodingASCII:
    case kCFStringEncodingMacRoman:
      if (!IsAscii(bytes)) return false;
      out.assign(bytes);
      return true;
    case kCFStringEncodingISOLatin1:
      out.clear();
      for (char c : bytes)
        AppendUtf8(out, static_cast<unsigned char>(c));
      return true;
    default:
      return false;
  }
}

bool FromUtf8(const std::string& utf8, CFStringEncoding encoding, std::string& out) {
  switch (encoding) {
    case kCFStringEncodingUTF8:
      out = utf8;
      return true;
    case kCFStringEncodingASCII:
    case kCFStringEncodingMacRoman:
      if (!IsAscii(utf8)) return false;
      out = utf8;
      return true;
    case kCFStringEncodingISOLatin1:
      out.clear();
      for (std::size_t pos = 0; pos < utf8.size();) {
        const long code = DecodeUtf8(utf8, pos);
        if (code < 0 || code > 0xFF) return false;
        out += static_cast<char>(code);
      }
      return true;
    default:
      return false;
  }
}

CFStringRef Wrap(StringObject* object) {
  return reinterpret_cast<CFStringRef>(static_cast<CFObject*>(object));
}

const StringObject* AsString(CFTypeRef cf) {
  return As<StringObject>(cf);
}

}  // namespace

CFStringRef NewString(std::string_view utf8) {
  const long length = Utf16Length(utf8);
  if (length < 0) return nullptr;
  return Wrap(new StringObject(std::string(utf8), length, false));
}

std::string StringValue(CFTypeRef string) {
  const StringObject* object = AsString(string);
  return object ? object->mUtf8 : std::string();
}

}  // namespace platform_detail

using platform_detail::NewString;

CFTypeID CFStringGetTypeID(void) {
  return platform_detail::kStringTypeID;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding) {
  if (!cStr) return nullptr;
  std::string utf8;
  if (!platform_detail::ToUtf8(cStr, encoding, utf8)) return nullptr;
  return NewString(utf8);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean) {
  if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
  std::string utf8;
  const std::string_view view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(numBytes));
  if (!platform_detail::ToUtf8(numBytes ? view : std::string_view(), encoding, utf8)) {
    return nullptr;
  }
  return NewString(utf8);
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString) {
  if (!platform_detail::AsString(theString)) return nullptr;
  return static_cast<CFStringRef>(CFRetain(theString));
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
  if (!buffer || bufferSize <= 0) return false;
  buffer[0] = '\0';
  const auto* string = platform_detail::AsString(theString);
  std::string bytes;
  if (!string || !platform_detail::FromUtf8(string->mUtf8, encoding, bytes)) return false;
  if (static_cast<CFIndex>(bytes.size()) + 1 > bufferSize) return false;
  std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding) {
  const auto* string = platform_detail::AsString(theString);
  if (!string) return nullptr;
  if (encoding == kCFStringEncodingUTF8) return string->mUtf8.c_str();
  if ((encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingMacRoman) &&
      platform_detail::IsAscii(string->mUtf8)) {
    return string->mUtf8.c_str();
  }
  return nullptr;
}

CFIndex CFStringGetLength(CFStringRef theString) {
  const auto* string = platform_detail::AsString(theString);
  return string ? string->mUtf16Length : 0;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
  if (length < 0) return kCFNotFound;
  switch (encoding) {
    case kCFStringEncodingUTF8:
      return length * 3;
    case kCFStringEncodingUTF16:
      return length * 2;
    case kCFStringEncodingASCII:
    case kCFStringEncodingMacRoman:
    case kCFStringEncodingISOLatin1:
      return length;
    default:
      return kCFNotFound;
  }
}

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFStringCompareFlags compareOptions) {
  const auto* a = platform_detail::AsString(theString1);
  const auto* b = platform_detail::AsString(theString2);
  if (!a || !b) {
    if (a == b) return kCFCompareEqualTo;
    return a ? kCFCompareGreaterThan : kCFCompareLessThan;
  }
  const bool fold = (compareOptions & kCFCompareCaseInsensitive) != 0;
  const std::string& x = a->mUtf8;
  const std::string& y = b->mUtf8;
  // Byte order of UTF-8 is code-point order.
  for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
    unsigned char cx = static_cast<unsigned char>(x[i]);
    unsigned char cy = static_cast<unsigned char>(y[i]);
    if (fold) {
      if (cx >= 'A' && cx <= 'Z') cx += 'a' - 'A';
      if (cy >= 'A' && cy <= 'Z') cy += 'a' - 'A';
    }
    if (cx != cy) return cx < cy ? kCFCompareLessThan : kCFCompareGreaterThan;
  }
  if (x.size() == y.size()) return kCFCompareEqualTo;
  return x.size() < y.size() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

CFStringRef __CFStringMakeConstantString(const char* cStr) {
  using platform_detail::StringObject;
  if (!cStr) return nullptr;
  static std::mutex& mutex = *new std::mutex;
  static auto& constants = *new std::unordered_map<std::string, StringObject*>;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = constants.find(cStr);
  if (found != constants.end()) return platform_detail::Wrap(found->second);
  std::string text = platform_detail::RepairUtf8(cStr);
  const long length = platform_detail::Utf16Length(text);
  auto* object = new StringObject(text, length, true);
  constants.emplace(cStr, object);
  return platform_detail::Wrap(object);
}
