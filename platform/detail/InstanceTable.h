#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Components.h"

struct ComponentRecord;

namespace platform_detail {

// Open component instances. A ComponentInstance handle encodes a slot index
// and the slot's generation, never an address: slots are never freed and a
// closed slot's generation moves on, so a stale handle (closed twice, or used
// after its slot was reopened) is refused without reading freed memory.
//
// Every call through a handle holds the slot between Enter and Leave. A close
// requested while calls are in progress (a listener or render callback
// closing the unit it was called from, or another thread) runs when the last
// of them leaves; from the request on, new calls are refused.
//
// All functions: [any thread]. Enter, Leave and the storage accessors take no
// lock and allocate nothing, unless Leave runs a pending close.
class InstanceTable {
 public:
  // A new open instance of the component, which the caller has already
  // counted in its instances; closing it drops the count. Null when the
  // table is full.
  static ComponentInstance Open(ComponentRecord* component, ComponentRoutineProcPtr entry);
  // Ends an instance whose open selector failed; no close selector is sent.
  static void Discard(ComponentInstance handle);

  // The slot's call state, held from Enter to Leave.
  class Call {
   public:
    explicit Call(ComponentInstance handle) noexcept;
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    bool Live() const noexcept { return mSlot != nullptr; }
    ComponentRecord* Component() const noexcept;
    ComponentRoutineProcPtr Entry() const noexcept;
    Handle Storage() const noexcept;
    void SetStorage(Handle storage) const noexcept;

   private:
    struct Slot* mSlot;
  };

  // Refuses new calls and sends the close selector once no call is in
  // progress: at once (returning the entry's status) or when the last call
  // leaves (returning noErr now). invalidComponentID for a stale handle.
  static ComponentResult RequestClose(ComponentInstance handle);
};

}  // namespace platform_detail
