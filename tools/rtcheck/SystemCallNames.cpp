#include "tools/rtcheck/SystemCallNames.h"

#include <sys/syscall.h>

#include <cstdio>

namespace rtcheck {
namespace {

struct Named {
  long number;
  const char* text;
};

#define RT_DIGITS(number) #number
#define RT_NUMBER_TEXT(number) RT_DIGITS(number)
#define RT_SYSTEM_CALL(name) {SYS_##name, "system call " RT_NUMBER_TEXT(SYS_##name) " (" #name ")"},

// One entry for each SYS_ name the headers define, listed at configure time.
constexpr Named kNamed[] = {
#include "SystemCallList.inc"
};

// The numbers no header names (a kernel newer than the headers), written
// when the library loads: a handler formats nothing.
struct Unnamed {
  static constexpr long kCount = 1024;
  char texts[kCount][24];
  Unnamed() {
    for (long number = 0; number < kCount; ++number)
      std::snprintf(texts[number], sizeof texts[number], "system call %ld", number);
  }
};
const Unnamed gUnnamed;

}  // namespace

const char* SystemCallName(long number) {
  for (const Named& named : kNamed)
    if (named.number == number) return named.text;
  if (number >= 0 && number < Unnamed::kCount) return gUnnamed.texts[number];
  return "a system call of an impossible number";
}

}  // namespace rtcheck
