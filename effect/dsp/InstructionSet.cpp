#include "effect/dsp/InstructionSet.h"

#include <cstdlib>
#include <cstring>

bool hasInstructionSet(InstructionSet set) noexcept {
  // Constructors of other translation units may get here before the
  // run-time library has probed the processor.
  __builtin_cpu_init();
  switch (set) {
    case InstructionSet::kSse2:
      return true;
    case InstructionSet::kFma:
      return __builtin_cpu_supports("fma");
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
