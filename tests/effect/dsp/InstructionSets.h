#pragma once

#include <vector>

#include "effect/dsp/InstructionSet.h"

// Every build of the engine's loop this processor can run, so that each is
// tested where it can be.
inline std::vector<InstructionSet> availableInstructionSets() {
  std::vector<InstructionSet> sets;
  for (InstructionSet set : {InstructionSet::kSse2, InstructionSet::kFma})
    if (hasInstructionSet(set)) sets.push_back(set);
  return sets;
}

inline const char* nameOf(InstructionSet set) {
  switch (set) {
    case InstructionSet::kSse2:
      return "SSE2";
    case InstructionSet::kFma:
      return "FMA";
  }
  return "?";
}
