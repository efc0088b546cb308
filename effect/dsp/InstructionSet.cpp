#include "effect/dsp/InstructionSet.h"

#include <initializer_list>

bool hasInstructionSet(InstructionSet set) noexcept {
  // Constructors of other translation units may get here before the
  // run-time library has probed the processor.
  __builtin_cpu_init();
  switch (set) {
    case InstructionSet::kSse2:
      return true;
    case InstructionSet::kFma:
      return __builtin_cpu_supports("fma");
    case InstructionSet::kAvx512:
      return __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx512f") &&
             __builtin_cpu_supports("avx512vl");
  }
  return false;
}

InstructionSet fastestInstructionSet() noexcept {
  static const InstructionSet fastest = [] {
    for (InstructionSet set : {InstructionSet::kAvx512, InstructionSet::kFma})
      if (hasInstructionSet(set)) return set;
    return InstructionSet::kSse2;
  }();
  return fastest;
}
