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

template <typename T>
void AppendFormatted(std::string& out, const std::string& spec, T value) {
  char small[128];
  const int needed = std::snprintf(small, sizeof small, spec.c_str(), value);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof small) {
    out.append(small, static_cast<size_t>(needed));
    return;
  }
  std::string large(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(large.data(), large.size(), spec.c_str(), value);
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
  const std::string text = platform::detail::StringValue(format);
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
    std::string spec = "%";
    for (; i < text.size() && IsFlag(text[i]); ++i) {
      if (text[i] != '\'') spec += text[i];  // thousands grouping is not offered
    }
    if (i < text.size() && text[i] == '*') {
      spec += std::to_string(va_arg(ap, int));
      ++i;
    } else {
      while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        spec += text[i++];
    }
    if (i < text.size() && text[i] == '.') {
      spec += text[i++];
      if (i < text.size() && text[i] == '*') {
        spec += std::to_string(va_arg(ap, int));
        ++i;
      } else {
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
          spec += text[i++];
      }
    }
    std::string length;
    while (i < text.size() && std::strchr("hlqLzjt", text[i]))
      length += text[i++];
    if (i >= text.size()) {
      out.append(text, start, std::string::npos);
      break;
    }
    const char conversion = text[i++];
    const bool isLong = length == "l";
    const bool isLongLong = length == "ll" || length == "q";
    switch (conversion) {
      case 'd':
      case 'i':
        if (isLongLong) {
          AppendFormatted(out, spec + "ll" + conversion, va_arg(ap, long long));
        } else if (isLong || length == "z" || length == "t") {
          AppendFormatted(out, spec + "l" + conversion, va_arg(ap, long));
        } else if (length == "j") {
          AppendFormatted(out, spec + "j" + conversion, va_arg(ap, intmax_t));
        } else {
          AppendFormatted(out, spec + length + conversion, va_arg(ap, int));
        }
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        if (isLongLong) {
          AppendFormatted(out, spec + "ll" + conversion, va_arg(ap, unsigned long long));
        } else if (isLong || length == "z" || length == "t") {
          AppendFormatted(out, spec + "l" + conversion, va_arg(ap, unsigned long));
        } else if (length == "j") {
          AppendFormatted(out, spec + "j" + conversion, va_arg(ap, uintmax_t));
        } else {
          AppendFormatted(out, spec + length + conversion, va_arg(ap, unsigned int));
        }
        break;
      case 'c':
        AppendFormatted(out, spec + conversion, va_arg(ap, int));
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
          AppendFormatted(out, spec + "L" + conversion, va_arg(ap, long double));
        } else {
          AppendFormatted(out, spec + conversion, va_arg(ap, double));
        }
        break;
      case 's': {
        const char* value = va_arg(ap, const char*);
        AppendFormatted(out, spec + 's', value ? value : "(null)");
        break;
      }
      case 'p':
        AppendFormatted(out, spec + 'p', va_arg(ap, void*));
        break;
      case '@': {
        const void* value = va_arg(ap, const void*);
        const std::string description =
            value ? platform::detail::Describe(value) : std::string("(null)");
        AppendFormatted(out, spec + 's', description.c_str());
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
  return platform::detail::NewString(platform::detail::RepairUtf8(out));
}
