#include "platform/detail/InstanceTable.h"

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/detail/ComponentRecords.h"

namespace platform_detail {

// State word of a slot: the open and close-requested bits and, above them,
// the number of calls holding the slot. Only ever changed by atomic
// read-modify-write, so a refused caller's passing count is never lost.
constexpr std::uint32_t kOpen = 1;
constexpr std::uint32_t kCloseRequested = 2;
constexpr std::uint32_t kOneCall = 4;

struct Slot {
  std::atomic<std::uint32_t> state{0};
  std::atomic<std::uint32_t> generation{0};
  // Written while the slot is closed, published by setting kOpen.
  ComponentRecord* component = nullptr;
  ComponentRoutineProcPtr entry = nullptr;
  std::atomic<Handle> storage{nullptr};
  std::uint32_t index = 0;  // set when the slot's chunk is made
};

namespace {

constexpr unsigned kIndexBits = 20;
constexpr std::uint32_t kChunkSlots = 1024;
constexpr std::uint32_t kChunks = (1u << kIndexBits) / kChunkSlots;
// Generations wrap within what a handle can carry.
constexpr unsigned kGenerationBits = sizeof(std::uintptr_t) * 8 - kIndexBits - 1 < 32
                                         ? sizeof(std::uintptr_t) * 8 - kIndexBits - 1
                                         : 32;
constexpr std::uint32_t kGenerationMask =
    kGenerationBits == 32 ? 0xFFFFFFFFu : (1u << kGenerationBits) - 1;

struct Table {
  std::mutex mutex;  // guards growth and the free list
  std::atomic<Slot*> chunks[kChunks] = {};
  std::uint32_t used = 0;
  std::vector<std::uint32_t> free;
};

Table& TheTable() {
  static Table& table = *new Table;  // outlives every static destructor
  return table;
}

// Odd, so a handle is never mistaken for a component record's address.
ComponentInstance Encode(std::uint32_t index, std::uint32_t generation) {
  const std::uintptr_t value =
      (static_cast<std::uintptr_t>(generation & kGenerationMask) << (kIndexBits + 1)) |
      (static_cast<std::uintptr_t>(index) << 1) | 1u;
  return reinterpret_cast<ComponentInstance>(value);
}

Slot* SlotAt(std::uint32_t index) {
  Slot* chunk = TheTable().chunks[index / kChunkSlots].load(std::memory_order_acquire);
  return chunk ? &chunk[index % kChunkSlots] : nullptr;
}

Slot* Decode(ComponentInstance handle, std::uint32_t* generation) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if ((value & 1u) == 0) return nullptr;
  *generation = static_cast<std::uint32_t>(value >> (kIndexBits + 1)) & kGenerationMask;
  return SlotAt(static_cast<std::uint32_t>(value >> 1) & ((1u << kIndexBits) - 1));
}

// Holds the slot when the handle names its open, not closing instance.
Slot* Enter(ComponentInstance handle) noexcept {
  std::uint32_t generation = 0;
  Slot* slot = Decode(handle, &generation);
  if (!slot) return nullptr;
  const std::uint32_t before = slot->state.fetch_add(kOneCall, std::memory_order_acq_rel);
  if ((before & kOpen) && !(before & kCloseRequested) &&
      (slot->generation.load(std::memory_order_acquire) & kGenerationMask) == generation) {
    return slot;
  }
  slot->state.fetch_sub(kOneCall, std::memory_order_acq_rel);
  return nullptr;
}

void Retire(Slot* slot) {
  ComponentRecord* component = slot->component;
  slot->generation.fetch_add(1, std::memory_order_acq_rel);
  slot->storage.store(nullptr, std::memory_order_relaxed);
  Table& table = TheTable();
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    table.free.push_back(slot->index);
  }
  --component->instances;
}

// Sends the close selector of a slot that has just stopped being open.
ComponentResult Finish(Slot* slot) {
  const ComponentInstance handle =
      Encode(slot->index, slot->generation.load(std::memory_order_acquire));
  ComponentParameters block{};
  block.what = kComponentCloseSelect;
  block.paramSize = sizeof(long);
  block.params[0] = reinterpret_cast<long>(handle);
  const ComponentResult result = slot->entry(&block, slot->storage.load(std::memory_order_acquire));
  Retire(slot);
  return result;
}

// Releases the slot; the last call out of a slot whose close was requested
// closes it. True when this call did, with the entry's status.
bool Leave(Slot* slot, ComponentResult* closeResult) noexcept {
  std::uint32_t now = slot->state.fetch_sub(kOneCall, std::memory_order_acq_rel) - kOneCall;
  if (now != (kOpen | kCloseRequested)) return false;
  if (!slot->state.compare_exchange_strong(now, 0, std::memory_order_acq_rel)) return false;
  const ComponentResult result = Finish(slot);
  if (closeResult) *closeResult = result;
  return true;
}

}  // namespace

ComponentInstance InstanceTable::Open(ComponentRecord* component, ComponentRoutineProcPtr entry) {
  Table& table = TheTable();
  std::uint32_t index;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    if (!table.free.empty()) {
      index = table.free.back();
      table.free.pop_back();
    } else {
      if (table.used == kChunks * kChunkSlots) return nullptr;
      index = table.used++;
      if (index % kChunkSlots == 0) {
        Slot* chunk = new Slot[kChunkSlots];
        for (std::uint32_t i = 0; i < kChunkSlots; ++i)
          chunk[i].index = index + i;
        table.chunks[index / kChunkSlots].store(chunk, std::memory_order_release);
      }
    }
  }
  Slot* slot = SlotAt(index);
  slot->component = component;
  slot->entry = entry;
  const std::uint32_t generation = slot->generation.load(std::memory_order_acquire);
  slot->state.fetch_or(kOpen, std::memory_order_acq_rel);
  return Encode(index, generation);
}

void InstanceTable::Discard(ComponentInstance handle) {
  std::uint32_t generation = 0;
  Slot* slot = Decode(handle, &generation);
  if (!slot) return;
  slot->state.fetch_and(~(kOpen | kCloseRequested), std::memory_order_acq_rel);
  Retire(slot);
}

ComponentResult InstanceTable::RequestClose(ComponentInstance handle) {
  Slot* slot = Enter(handle);
  if (!slot) return invalidComponentID;
  const std::uint32_t before = slot->state.fetch_or(kCloseRequested, std::memory_order_acq_rel);
  ComponentResult result = noErr;
  Leave(slot, &result);
  return before & kCloseRequested ? invalidComponentID  // another thread closed it first
                                  : result;
}

InstanceTable::Call::Call(ComponentInstance handle) noexcept : mSlot(Enter(handle)) {}

InstanceTable::Call::~Call() {
  if (mSlot) Leave(mSlot, nullptr);
}

ComponentRecord* InstanceTable::Call::Component() const noexcept {
  return mSlot->component;
}

ComponentRoutineProcPtr InstanceTable::Call::Entry() const noexcept {
  return mSlot->entry;
}

Handle InstanceTable::Call::Storage() const noexcept {
  return mSlot->storage.load(std::memory_order_acquire);
}

void InstanceTable::Call::SetStorage(Handle storage) const noexcept {
  mSlot->storage.store(storage, std::memory_order_release);
}

}  // namespace platform_detail
