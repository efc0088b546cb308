#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/CFBundle.h"
#include "platform/Components.h"

namespace platform_detail {

// A component bundle found by a search; its library is opened on demand.
struct LoadedBundle {
  std::string path;
  std::string executable;
  CFBundleRef bundle = nullptr;
  void* library = nullptr;  // dlopen handle once loaded; never closed
};

}  // namespace platform_detail

// The record behind a Component handle; never freed, so that a handle stays
// checkable. Instance handles are not addresses (platform/detail/InstanceTable.h).
struct ComponentRecord {
  static constexpr std::uint32_t kMagic = 0x436D7052;  // 'CmpR'
  std::uint32_t magic = kMagic;
  ComponentDescription description{};
  std::string pascalName;  // length byte, text, NUL
  std::string pascalInfo;
  SInt32 version = 0;
  std::string entrySymbol;
  platform_detail::LoadedBundle* bundle = nullptr;  // null when registered directly
  ComponentRoutineProcPtr entry = nullptr;          // written under the registry lock
  bool registered = true;                           // guarded by the registry lock
  std::atomic<long> instances{0};
};
