#include "effect/dsp/InstructionSet.h"

#include <cpuid.h>

#include <cstdlib>
#include <cstring>

namespace {

// Fused multiply-adds need the processor's FMA and the system saving the
// vector registers their encoding uses (XCR0's SSE and AVX state), as the
// compiler's own probe judges. One question to the processor, asked only
// when an engine is made: the compiler's probe asks dozens as a constructor
// of every library that links it, each costly under a hypervisor, and
// every run of the program would pay for them.
bool hasFusedMultiplyAdd() noexcept {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  if (!(ecx & bit_FMA) || !(ecx & bit_OSXSAVE)) return false;
  unsigned xcr0 = 0, xcr0High = 0;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
  constexpr unsigned kSseAndAvxState = 0x6;
  return (xcr0 & kSseAndAvxState) == kSseAndAvxState;
}

}  // namespace

bool hasInstructionSet(InstructionSet set) noexcept {
  switch (set) {
    case InstructionSet::kSse2:
      return true;
    case InstructionSet::kFma:
      return hasFusedMultiplyAdd();
  }
  return false;
}

InstructionSet fastestInstructionSet() noexcept {
  static const InstructionSet fastest =
      hasInstructionSet(InstructionSet::kFma) ? InstructionSet::kFma : InstructionSet::kSse2;
  return fastest;
}

InstructionSet defaultInstructionSet(const char* requested) noexcept {
  if (requested && std::strcmp(requested, "sse2") == 0) return InstructionSet::kSse2;
  return fastestInstructionSet();
}

InstructionSet defaultInstructionSet() noexcept {
  static const InstructionSet chosen = defaultInstructionSet(std::getenv("MORVEX_INSTRUCTION_SET"));
  return chosen;
}
