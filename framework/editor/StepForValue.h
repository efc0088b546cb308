#pragma once

// The step 0..count - 1 that a value 0..1 selects, rounded to the nearest:
// int(0.5 + value * (count - 1)), limited to the steps there are. Values
// from the plug-in side are not clamped, so the limits are applied in
// double before any conversion to int. [any thread]
inline int StepForValue(double value, int count) noexcept {
  if (count < 2) return 0;
  const double step = 0.5 + value * (count - 1);
  if (!(step >= 1.0)) return 0;  // NaN lands here too
  if (step >= count - 1) return count - 1;
  return static_cast<int>(step);
}
