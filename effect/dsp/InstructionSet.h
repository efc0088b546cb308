#pragma once

// The processor features the engine's loop is built for; the fastest the
// processor has is picked at run time.
// - kSse2: any x86 processor. Multiply-adds round twice, after the multiply
//   and after the add.
// - kFma: fused multiply-adds, rounding once. They halve the time of the
//   filters' feedback loop, the path every sample waits for. The samples stay
//   within 1e-9 of kSse2's over minutes at the most resonant settings.
enum class InstructionSet { kSse2, kFma };

// Whether this processor can run the loop built for the set.
bool hasInstructionSet(InstructionSet set) noexcept;
InstructionSet fastestInstructionSet() noexcept;

// [any thread] The set new engines start with: the fastest, unless the
// environment's MORVEX_INSTRUCTION_SET is "sse2". That holds every engine of
// the process to kSse2, so that renders on machines or builds with and
// without FMA can be compared bit for bit. Read once per process.
InstructionSet defaultInstructionSet() noexcept;
// The same for a value of that variable (null: unset). Any other value than
// "sse2" leaves the choice to the processor.
InstructionSet defaultInstructionSet(const char* requested) noexcept;

constexpr bool usesFusedMultiplyAdd(InstructionSet set) noexcept {
  return set != InstructionSet::kSse2;
}
