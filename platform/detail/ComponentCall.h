#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/Components.h"
#include "platform/detail/InstanceTable.h"

namespace platform_detail {

// A ComponentParameters block with room for N slots, built on the stack.
template <std::size_t N>
struct ParameterBlock {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
#if defined(__LP64__)
  UInt32 padding;
#endif
  long params[N];
};
static_assert(offsetof(ParameterBlock<1>, params) == offsetof(ComponentParameters, params));
static_assert(sizeof(ParameterBlock<1>) == sizeof(ComponentParameters));

// One argument in slot form (see ComponentParameters in platform/Components.h).
template <typename T>
long ToSlot(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<long>(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    static_assert(sizeof(T) <= sizeof(long));
    long slot = 0;
    std::memcpy(&slot, &value, sizeof value);
    return slot;
  } else {
    static_assert(std::is_integral_v<T> || std::is_enum_v<T>);
    return static_cast<long>(value);
  }
}

// Calls the instance's entry with its storage and the arguments in reverse
// order, holding the instance open for the call. [any thread] No lock, no
// allocation.
template <typename... Args>
ComponentResult CallComponent(ComponentInstance ci, SInt16 what, Args... args) noexcept {
  const InstanceTable::Call call(ci);
  if (!call.Live()) return badComponentInstance;
  constexpr std::size_t count = sizeof...(Args);
  ParameterBlock<(count > 0 ? count : 1)> block{};
  block.what = what;
  block.paramSize = static_cast<UInt8>(count * sizeof(long));
  [[maybe_unused]] std::size_t slot = count;
  ((block.params[--slot] = ToSlot(args)), ...);
  return call.Entry()(reinterpret_cast<ComponentParameters*>(&block), call.Storage());
}

}  // namespace platform_detail
