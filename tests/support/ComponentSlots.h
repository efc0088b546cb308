#pragma once

#include <cstring>

#include "platform/MacTypes.h"

namespace test_support {

// The long slot a component call stores each argument in (see
// ComponentParameters): what a test expects the unit to receive.

inline long Slot(const void* pointer) {
  return reinterpret_cast<long>(pointer);
}

// Widened by its own signedness where long is wider; where long has 32 bits,
// the slot holds the bit pattern.
inline long UnsignedSlot(UInt32 value) {
  long slot = 0;
  std::memcpy(&slot, &value, sizeof value);
  return slot;
}

// The bit pattern in the low 4 bytes, any upper bytes zero.
inline long FloatSlot(Float32 value) {
  long slot = 0;
  std::memcpy(&slot, &value, sizeof value);
  return slot;
}

}  // namespace test_support
