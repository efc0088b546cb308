#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/CFString.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFStringUtil.h"
#include "platform/detail/Utf8.h"

namespace {

// Widths and precisions above this make the format fail: a width taken from
// data could otherwise ask for gigabytes of padding.
constexpr int kMaxFieldSize = 4096;

template <typename T>
void AppendFormatted(std::string& out, const std::string& directive, T value) {
  char small[128];
  const int needed = std::snprintf(small, sizeof small, directive.c_str(), value);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof small) {
    out.append(small, static_cast<size_t>(needed));
    return;
  }
  std::string large(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(large.data(), large.size(), directive.c_str(), value);
  out.append(large.data(), static_cast<size_t>(needed));
}

bool IsFlag(char c) {
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0' || c == '\'';
}

}  // namespace

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions,
                                     CFStringRef format, ...) {
  va_list arguments;
  va_start(arguments, format);
  CFStringRef result =
      CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, arguments);
  va_end(arguments);
  return result;
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef,
                                                 CFStringRef format, va_list arguments) {
  if (CFGetTypeID(format) != CFStringGetTypeID()) return nullptr;
  const std::string text = platform_detail::StringValue(format);
  std::string out;
  va_list ap;
  va_copy(ap, arguments);
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    const size_t start = i++;
    std::string directive = "%";
    for (; i < text.size() && IsFlag(text[i]); ++i) {
      if (text[i] != '\'') directive += text[i];  // thousands grouping is not offered
    }
    // A width or precision: digits, or '*' taking an int argument. False
    // when it exceeds kMaxFieldSize; a negative '*' (a left-justified width
    // or an absent precision) is limited by its magnitude.
    const auto appendCount = [&](bool precision) {
      if (i < text.size() && text[i] == '*') {
        const int count = va_arg(ap, int);
        ++i;
        if (count < -kMaxFieldSize || count > kMaxFieldSize) return false;
        if (precision && count < 0) {
          directive.pop_back();  // the '.'
        } else {
          directive += std::to_string(count);
        }
        return true;
      }
      int count = 0;
      for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        count = count * 10 + (text[i] - '0');
        if (count > kMaxFieldSize) return false;
        directive += text[i];
      }
      return true;
    };
    bool sized = appendCount(false);
    if (sized && i < text.size() && text[i] == '.') {
      directive += text[i++];
      sized = appendCount(true);
    }
    if (!sized) {
      va_end(ap);
      return nullptr;
    }
    std::string length;
    while (i < text.size() && text[i] != '\0' && std::strchr("hlqLzjt", text[i]))
      length += text[i++];
    if (i >= text.size()) {
      out.append(text, start, std::string::npos);
      break;
    }
    const char conversion = text[i++];
    // Integer conversions read the argument type the length names; the
    // directive passed on is rebuilt with a length snprintf knows.
    const auto appendInteger = [&](auto plain, auto wide, auto wider, auto widest) {
      if (length == "ll" || length == "q") {
        AppendFormatted(out, directive + "ll" + conversion, va_arg(ap, decltype(wider)));
      } else if (length == "l" || length == "z" || length == "t") {
        AppendFormatted(out, directive + "l" + conversion, va_arg(ap, decltype(wide)));
      } else if (length == "j") {
        AppendFormatted(out, directive + "j" + conversion, va_arg(ap, decltype(widest)));
      } else {
        AppendFormatted(out, directive + length + conversion, va_arg(ap, decltype(plain)));
      }
    };
    switch (conversion) {
      case 'd':
      case 'i':
        appendInteger(int(), long(), static_cast<long long>(0), intmax_t());
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        appendInteger(0u, 0ul, 0ull, uintmax_t());
        break;
      case 'c':
        AppendFormatted(out, directive + conversion, va_arg(ap, int));
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (length == "L") {
          AppendFormatted(out, directive + "L" + conversion, va_arg(ap, long double));
        } else {
          AppendFormatted(out, directive + conversion, va_arg(ap, double));
        }
        break;
      case 's': {
        const char* value = va_arg(ap, const char*);
        AppendFormatted(out, directive + 's', value ? value : "(null)");
        break;
      }
      case 'p':
        AppendFormatted(out, directive + 'p', va_arg(ap, void*));
        break;
      case '@': {
        const void* value = va_arg(ap, const void*);
        const std::string description =
            value ? platform_detail::Describe(value) : std::string("(null)");
        AppendFormatted(out, directive + 's', description.c_str());
        break;
      }
      case '%':
        out += '%';
        break;
      case 'n':
        (void)va_arg(ap, void*);  // never written through: formats may come from data
        break;
      default:
        out.append(text, start, i - start);
        break;
    }
  }
  va_end(ap);
  return platform_detail::NewString(platform_detail::RepairUtf8(out));
}
